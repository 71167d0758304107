#include "platform/common/WindowTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace ww::platform {
namespace {

std::vector<std::uint32_t> g_seen;
WndProc g_previous = nullptr;

std::intptr_t Hook(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) {
    g_seen.push_back(message);
    return 100 + WindowTable::DefaultProc(window, message, wParam, lParam);
}

TEST(WindowTable, SendReachesDefaultHandlerThenHook) {
    g_seen.clear();
    std::vector<std::uint32_t> defaults;  // outlives the table, whose end destroys the window
    WindowTable table;
    Hwnd w = table.Create([&](std::uint32_t m, std::uintptr_t, std::intptr_t) {
        defaults.push_back(m);
        return std::intptr_t{7};
    });
    EXPECT_EQ(table.Send(w, 0x400, 0, 0), 7);
    g_previous = table.SetProc(w, &Hook);
    EXPECT_EQ(g_previous, &WindowTable::DefaultProc);
    EXPECT_EQ(table.Send(w, 0x401, 0, 0), 107);
    EXPECT_EQ(g_seen, std::vector<std::uint32_t>{0x401});
    EXPECT_EQ(defaults, (std::vector<std::uint32_t>{0x400, 0x401}));
}

TEST(WindowTable, DestroySendsDestroyMessagesThroughCurrentProc) {
    g_seen.clear();
    WindowTable table;
    Hwnd w =
        table.Create([](std::uint32_t, std::uintptr_t, std::intptr_t) { return std::intptr_t{0}; });
    table.SetProc(w, &Hook);
    table.Destroy(w);
    EXPECT_EQ(g_seen, (std::vector<std::uint32_t>{msg::kDestroy, msg::kNcDestroy}));
    EXPECT_FALSE(table.Exists(w));
    EXPECT_EQ(table.Send(w, 0x400, 0, 0), 0);
    EXPECT_EQ(table.SetProc(w, &Hook), nullptr);
}

TEST(WindowTable, RegisteredMessagesAreStablePerName) {
    auto a = WindowTable::Register("TaskbarCreated");
    auto b = WindowTable::Register("Other");
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(WindowTable::Register("TaskbarCreated"), a);
}

}  // namespace
}  // namespace ww::platform
