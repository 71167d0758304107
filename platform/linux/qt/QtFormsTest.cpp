#include "platform/linux/qt/QtForms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/linux/qt/LinuxWindowMessages.h"
#include "platform/linux/qt/TestApplication.h"

namespace ww::platform {
namespace {

class RecordingEvents final : public TrayFormEvents {
  public:
    void PictureBoxMouseMove(int button, int shift, float x, float y) override {
        moves.push_back({button, shift, x, y});
    }
    void PlatformClose() override { ++closes; }

    struct Move {
        int button, shift;
        float x, y;
    };
    std::vector<Move> moves;
    int closes = 0;
};

// A hook as the logic installs it: counts what reaches it, passes all on.
WndProc g_previous = nullptr;
LinuxWindowMessages* g_windows = nullptr;
std::vector<std::uint32_t> g_hooked;
std::intptr_t Hook(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) {
    g_hooked.push_back(message);
    return g_windows->CallWindowProcA(g_previous, window, message, wParam, lParam);
}

// Made before the X connection: whatever display the test runs under, these
// tests reach none of it.
struct NoDisplay {
    NoDisplay() {
        unsetenv("DISPLAY");
        test::EnsureApplication();
    }
};

class QtFormsTest : public ::testing::Test {
  protected:
    NoDisplay noDisplay_;
    WindowTable table_;
    Trace trace_{std::string()};
    RunState run_;
    QtForms forms_{table_, trace_, run_};
    LinuxWindowMessages windows_{table_};
    RecordingEvents events_;
};

TEST_F(QtFormsTest, TwipsPerPixelFollowTheResolution) {
    const struct {
        double dpi;
        int twips;
    } cases[] = {{96, 15}, {120, 12}, {144, 10}, {192, 8}, {72, 20}, {0, 15}, {-1, 15}};
    for (const auto& c : cases) {
        EXPECT_EQ(TwipsPerPixel(c.dpi), c.twips) << c.dpi;
    }
    EXPECT_EQ(forms_.TwipsPerPixelX(), TwipsPerPixel(96));  // the offscreen screen
}

TEST_F(QtFormsTest, PictureBoxTurnsTheTrayCallbackIntoAMouseMoveInTwips) {
    const auto windows = forms_.CreateTrayForm(events_);
    ASSERT_NE(windows.form, 0U);
    ASSERT_NE(windows.pictureBox, 0U);
    EXPECT_NE(windows.form, windows.pictureBox);
    EXPECT_EQ(forms_.FormWindow(), windows.form);

    const std::intptr_t highWordSet = 0x7FFF0000;
    windows_.SendMessageA(windows.pictureBox, msg::kMouseMove, 9999, 0x203 | highWordSet);
    windows_.SendMessageA(windows.pictureBox, msg::kMouseMove, 9999, 0x204);
    windows_.SendMessageA(windows.pictureBox, 0x201, 0, 0x203);  // not the callback
    ASSERT_EQ(events_.moves.size(), 2U);
    const float twips = static_cast<float>(forms_.TwipsPerPixelX());
    EXPECT_EQ(events_.moves[0].x, 0x203 * twips);
    EXPECT_EQ(events_.moves[1].x, 0x204 * twips);
    EXPECT_EQ(events_.moves[0].button, 0);
    EXPECT_EQ(events_.moves[0].y, 0.0F);

    run_.End();
    windows_.SendMessageA(windows.pictureBox, msg::kMouseMove, 9999, 0x203);
    EXPECT_EQ(events_.moves.size(), 2U);
}

TEST_F(QtFormsTest, MessagesGoThroughTheHookToTheDefault) {
    const auto windows = forms_.CreateTrayForm(events_);
    g_windows = &windows_;
    g_hooked.clear();
    g_previous = windows_.SetWindowLongA(windows.form, kGwlWndProc, &Hook);
    ASSERT_NE(g_previous, nullptr);
    EXPECT_EQ(windows_.SendMessageA(windows.form, msg::kSysCommand, msg::kScScreenSave, 0), 0);
    EXPECT_EQ(g_hooked, std::vector<std::uint32_t>{msg::kSysCommand});

    // Destroying the form tells its current procedure, the hook.
    forms_.DestroyTrayForm();
    EXPECT_EQ(g_hooked,
              (std::vector<std::uint32_t>{msg::kSysCommand, msg::kDestroy, msg::kNcDestroy}));
    EXPECT_FALSE(table_.Exists(windows.form));
    EXPECT_FALSE(table_.Exists(windows.pictureBox));
    EXPECT_EQ(forms_.FormWindow(), 0U);
    forms_.DestroyTrayForm();  // twice is fine
}

TEST_F(QtFormsTest, PlatformCloseReachesTheFormOnlyWhileItIsThere) {
    forms_.PlatformClose("close signal 15");  // no form yet
    forms_.CreateTrayForm(events_);
    EXPECT_TRUE(forms_.HasTrayForm());
    forms_.PlatformClose("close signal 15");
    EXPECT_EQ(events_.closes, 1);
    forms_.DestroyTrayForm();
    EXPECT_FALSE(forms_.HasTrayForm());
    forms_.PlatformClose("close session");
    EXPECT_EQ(events_.closes, 1);
}

TEST_F(QtFormsTest, WindowProcedureCallsCheckTheirArguments) {
    const auto windows = forms_.CreateTrayForm(events_);
    EXPECT_EQ(windows_.SetWindowLongA(windows.form, -16, &Hook), nullptr);  // not GWL_WNDPROC
    EXPECT_EQ(windows_.SetWindowLongA(0x7777, kGwlWndProc, &Hook), nullptr);
    EXPECT_EQ(windows_.CallWindowProcA(nullptr, windows.form, msg::kMouseMove, 0, 0), 0);
    EXPECT_EQ(windows_.SendMessageA(0x7777, msg::kMouseMove, 0, 0), 0);
    EXPECT_EQ(windows_.RegisterWindowMessageA("TaskbarCreated"),
              windows_.RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_GE(windows_.RegisterWindowMessageA("TaskbarCreated"), 0xC000U);
    EXPECT_EQ(windows_.RegisterWindowMessageA(""), 0U);
    // The hidden form has nothing to bring forward, and that is success.
    EXPECT_TRUE(windows_.SetForegroundWindow(windows.form));
    EXPECT_FALSE(windows_.SetForegroundWindow(0x7777));
}

}  // namespace
}  // namespace ww::platform
