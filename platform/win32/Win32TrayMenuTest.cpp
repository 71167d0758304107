#include "platform/win32/Win32TrayMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ww::platform {
namespace {

enum Item { kRestore = 1, kHotCorners = 3, kStart = 5, kDisable = 6, kConfigure = 7, kExit = 9 };

const std::vector<MenuItem>& Items() {
    static const std::vector<MenuItem> items = {{kRestore, "&Restore Wakewatch..."},
                                                {2, "-"},
                                                {kHotCorners, "Enable &Hot Corners"},
                                                {4, "-"},
                                                {kStart, "&Start Screen Saver..."},
                                                {kDisable, "&Disable Screen Saver"},
                                                {kConfigure, "&Configure Screen Saver..."},
                                                {8, "-"},
                                                {kExit, "E&xit Wakewatch"}};
    return items;
}

class RecordingMenuEvents final : public TrayMenuEvents {
  public:
    void MenuCommand(int id) override { chosen.push_back(id); }
    std::vector<int> chosen;
};

void Pump() {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

class Win32TrayMenuTest : public ::testing::Test {
  protected:
    Win32TrayMenuTest() {
        owner_ = ::CreateWindowExA(0, "STATIC", "tray form", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        menu_.CreateMenu(Items(), kRestore, events_);
    }
    ~Win32TrayMenuTest() override { ::DestroyWindow(owner_); }

    UINT State(int id) const {
        return ::GetMenuState(menu_.Menu(), static_cast<UINT>(id), MF_BYCOMMAND);
    }

    HWND owner_ = nullptr;
    RecordingMenuEvents events_;
    Win32TrayMenu menu_{[this] { return owner_; }};
};

TEST_F(Win32TrayMenuTest, HoldsTheItemsInOrderWithTheDefault) {
    HMENU menu = menu_.Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), static_cast<int>(Items().size()));
    for (std::size_t i = 0; i < Items().size(); ++i) {
        const MenuItem& item = Items()[i];
        SCOPED_TRACE(item.caption);
        const auto position = static_cast<UINT>(i);
        const bool separator = (::GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        EXPECT_EQ(separator, item.caption == "-");
        if (!separator) {
            char text[64] = {};
            ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
            EXPECT_EQ(std::string(text), item.caption);
            EXPECT_EQ(::GetMenuItemID(menu, static_cast<int>(i)), static_cast<UINT>(item.id));
        }
    }
    EXPECT_EQ(::GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(kRestore));
}

TEST_F(Win32TrayMenuTest, ItemStatesSetChecksAndGreys) {
    struct Case {
        int id;
        bool checked;
        bool enabled;
    };
    const std::vector<Case> cases = {{kHotCorners, true, true}, {kHotCorners, false, false},
                                     {kStart, false, false},    {kDisable, true, true},
                                     {kStart, false, true},     {kDisable, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + (c.checked ? " checked" : "") +
                     (c.enabled ? "" : " greyed"));
        menu_.SetItemState(c.id, c.checked, c.enabled);
        EXPECT_EQ((State(c.id) & MF_CHECKED) != 0, c.checked);
        EXPECT_EQ((State(c.id) & MF_GRAYED) != 0, !c.enabled);
    }
}

TEST_F(Win32TrayMenuTest, PopupReportsTheChosenItemAfterItCloses) {
    struct Case {
        const char* what;
        std::vector<std::pair<UINT, WPARAM>> keys;  // queued before the menu shows
        std::vector<int> chosen;
    };
    const std::vector<Case> cases = {
        {"access key", {{WM_CHAR, 'x'}}, {kExit}},
        {"arrow and Enter", {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}}, {kRestore}},
        {"Escape", {{WM_KEYDOWN, VK_ESCAPE}}, {}},
        {"greyed item", {{WM_CHAR, 'h'}, {WM_KEYDOWN, VK_ESCAPE}}, {}},
    };
    menu_.SetItemState(kHotCorners, false, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events_.chosen.clear();
        for (const auto& [message, key] : c.keys) {
            ::PostMessageA(owner_, message, key, 1);
        }
        menu_.PopupMenu();
        EXPECT_EQ(events_.chosen, c.chosen);
        Pump();
    }
}

}  // namespace
}  // namespace ww::platform
