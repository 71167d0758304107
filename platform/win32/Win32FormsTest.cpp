#include "platform/win32/Win32Forms.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/Win32TestPump.h"
#include "platform/win32/Win32WindowMessages.h"

namespace ww::platform {
namespace {

struct RecordingEvents : TrayFormEvents {
    std::vector<float> xs;
    int closes = 0;
    void PictureBoxMouseMove(int, int, float x, float) override { xs.push_back(x); }
    void PlatformClose() override { ++closes; }
};

class Win32FormsTest : public ::testing::Test {
  protected:
    Win32FormsTest() : forms_(GetModuleHandleA(nullptr), run_, trace_) {}

    RunState run_;
    Win32Trace trace_{std::string()};
    Win32Forms forms_;
    RecordingEvents events_;
};

TEST(TwipsPerPixelTest, FollowsTheScreenResolution) {
    const struct {
        int dpi;
        int twips;
    } cases[] = {{96, 15}, {120, 12}, {144, 10}, {72, 20}, {0, 15}, {-1, 15}, {5000, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(TwipsPerPixel(c.dpi), c.twips) << c.dpi;
    }
}

TEST_F(Win32FormsTest, TheFormIsHiddenAndThePictureBoxItsChild) {
    const auto windows = forms_.CreateTrayForm(events_);
    const HWND form = ToWin<HWND>(windows.form);
    const HWND pictureBox = ToWin<HWND>(windows.pictureBox);
    ASSERT_NE(IsWindow(form), FALSE);
    ASSERT_NE(IsWindow(pictureBox), FALSE);
    EXPECT_EQ(GetParent(pictureBox), form);
    EXPECT_EQ(IsWindowVisible(form), FALSE);
    EXPECT_EQ(forms_.FormWindow(), form);
}

TEST_F(Win32FormsTest, ThePictureBoxTurnsTheCallbackMessageIntoMouseMovesInTwips) {
    const auto windows = forms_.CreateTrayForm(events_);
    const HWND pictureBox = ToWin<HWND>(windows.pictureBox);
    const int twips = forms_.TwipsPerPixelX();
    ASSERT_GT(twips, 0);

    // The shell posts the callback: message 512, the icon's id, the mouse code.
    for (LPARAM code : {0x203, 0x204, 0x202}) {
        ASSERT_NE(PostMessageA(pictureBox, 0x200, 9999, code), FALSE);
    }
    ASSERT_TRUE(PumpUntil([&] { return events_.xs.size() == 3; }));
    EXPECT_EQ(events_.xs, (std::vector<float>{static_cast<float>(0x203 * twips),
                                              static_cast<float>(0x204 * twips),
                                              static_cast<float>(0x202 * twips)}));
    // The code comes back exactly when divided again.
    EXPECT_EQ(events_.xs[1] / static_cast<float>(twips), 516.0F);
}

TEST_F(Win32FormsTest, ClosingTheFormAsksTheLogicAndKeepsTheWindow) {
    const auto windows = forms_.CreateTrayForm(events_);
    const HWND form = ToWin<HWND>(windows.form);
    SendMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(events_.closes, 1);
    EXPECT_NE(IsWindow(form), FALSE);
    SendMessageA(form, WM_ENDSESSION, FALSE, 0);  // the session goes on
    EXPECT_EQ(events_.closes, 1);
    SendMessageA(form, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(events_.closes, 2);

    run_.End();
    SendMessageA(form, WM_CLOSE, 0, 0);
    SendMessageA(ToWin<HWND>(windows.pictureBox), 0x200, 9999, 0x204);
    EXPECT_EQ(events_.closes, 2);
    EXPECT_TRUE(events_.xs.empty());
}

// The logic's hook on the form, as the tray module installs it.
struct FormHook {
    static inline Win32WindowMessages* messages = nullptr;
    static inline WndProc previous = nullptr;
    static inline int destroys = 0;
    static std::intptr_t Proc(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
        if (message == msg::kDestroy) {
            ++destroys;
            messages->SetWindowLongA(window, kGwlWndProc, previous);
            return 0;
        }
        return messages->CallWindowProcA(previous, window, message, wParam, lParam);
    }
};

TEST_F(Win32FormsTest, DestroyingTheFormReachesItsCurrentProcedureOnce) {
    Win32WindowMessages messages(run_, trace_);
    const auto windows = forms_.CreateTrayForm(events_);
    FormHook::messages = &messages;
    FormHook::destroys = 0;
    FormHook::previous = messages.SetWindowLongA(windows.form, kGwlWndProc, &FormHook::Proc);
    ASSERT_NE(FormHook::previous, nullptr);
    // Messages the hook passes on still reach the form's own procedure.
    SendMessageA(ToWin<HWND>(windows.form), WM_CLOSE, 0, 0);
    EXPECT_EQ(events_.closes, 1);

    forms_.DestroyTrayForm();
    forms_.DestroyTrayForm();
    EXPECT_EQ(FormHook::destroys, 1);
    EXPECT_EQ(IsWindow(ToWin<HWND>(windows.form)), FALSE);
    EXPECT_EQ(IsWindow(ToWin<HWND>(windows.pictureBox)), FALSE);
    EXPECT_EQ(forms_.FormWindow(), nullptr);
}

}  // namespace
}  // namespace ww::platform
