#include "platform/win32/Win32WindowMessages.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/Win32TestPump.h"

namespace ww::platform {
namespace {

constexpr UINT kProbe = WM_APP + 1;

// A plain window whose own procedure counts what reaches it.
struct OwnWindow {
    static inline std::vector<UINT> seen;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        seen.push_back(message);
        if (message == kProbe) {
            return 7;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    OwnWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "WwMessagesTestWindow";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "WwMessagesTestWindow", "", WS_OVERLAPPED, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        seen.clear();
    }
    ~OwnWindow() {
        if (IsWindow(window) != FALSE) {
            DestroyWindow(window);
        }
    }
    Hwnd Handle() const { return FromWin(window); }

    HWND window = nullptr;
};

// The logic's side: a subclass that records and passes on.
struct Hook {
    static inline Win32WindowMessages* messages = nullptr;
    static inline WndProc previous = nullptr;
    static inline std::vector<std::uint32_t> seen;
    static inline bool restoreOnDestroy = false;

    static std::intptr_t Proc(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
        seen.push_back(message);
        if (restoreOnDestroy && message == msg::kDestroy) {
            messages->SetWindowLongA(window, kGwlWndProc, previous);
            return 0;
        }
        return messages->CallWindowProcA(previous, window, message, wParam, lParam);
    }
};

class Win32WindowMessagesTest : public ::testing::Test {
  protected:
    Win32WindowMessagesTest() : messages_(run_, trace_) {
        Hook::messages = &messages_;
        Hook::previous = nullptr;
        Hook::seen.clear();
        Hook::restoreOnDestroy = false;
    }

    RunState run_;
    Win32Trace trace_{std::string()};
    Win32WindowMessages messages_;
    OwnWindow own_;
};

TEST_F(Win32WindowMessagesTest, RegisteredMessagesAreSystemWideNumbers) {
    const std::uint32_t first = messages_.RegisterWindowMessageA("TaskbarCreated");
    EXPECT_GE(first, 0xC000u);
    EXPECT_LE(first, 0xFFFFu);
    EXPECT_EQ(messages_.RegisterWindowMessageA("TaskbarCreated"), first);
    EXPECT_EQ(first, ::RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_NE(messages_.RegisterWindowMessageA("WakewatchTestOther"), first);
    EXPECT_EQ(messages_.RegisterWindowMessageA(""), 0u);
}

TEST_F(Win32WindowMessagesTest, RefusesOtherIndicesAndUnknownWindows) {
    EXPECT_EQ(messages_.SetWindowLongA(own_.Handle(), -21, &Hook::Proc), nullptr);
    EXPECT_EQ(messages_.SetWindowLongA(0, kGwlWndProc, &Hook::Proc), nullptr);
    EXPECT_EQ(messages_.SendMessageA(0, kProbe, 0, 0), 0);
}

TEST_F(Win32WindowMessagesTest, TheSubclassSeesAPostedTaskbarCreatedAndPassesItOn) {
    const std::uint32_t taskbarCreated = messages_.RegisterWindowMessageA("TaskbarCreated");
    Hook::previous = messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, &Hook::Proc);
    ASSERT_NE(Hook::previous, nullptr);

    // Posted the way the shell broadcasts it, then through the message loop.
    ASSERT_NE(PostMessageA(own_.window, taskbarCreated, 0, 0), FALSE);
    ASSERT_TRUE(PumpUntil([&] {
        return std::find(OwnWindow::seen.begin(), OwnWindow::seen.end(), taskbarCreated) !=
               OwnWindow::seen.end();
    }));
    EXPECT_NE(std::find(Hook::seen.begin(), Hook::seen.end(), taskbarCreated), Hook::seen.end());

    // A sent message goes the same road and brings the window's own answer back.
    EXPECT_EQ(messages_.SendMessageA(own_.Handle(), kProbe, 0, 0), 7);
    EXPECT_EQ(Hook::seen.back(), kProbe);
}

TEST_F(Win32WindowMessagesTest, PuttingThePreviousProcedureBackEndsTheSubclass) {
    Hook::previous = messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, &Hook::Proc);
    ASSERT_NE(Hook::previous, nullptr);
    EXPECT_EQ(messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, Hook::previous), &Hook::Proc);
    EXPECT_EQ(GetWindowLongA(own_.window, GWL_WNDPROC), reinterpret_cast<LONG>(&OwnWindow::Proc));
    Hook::seen.clear();
    EXPECT_EQ(messages_.SendMessageA(own_.Handle(), kProbe, 0, 0), 7);
    EXPECT_TRUE(Hook::seen.empty());
}

TEST_F(Win32WindowMessagesTest, TheSubclassCanRestoreItselfOnDestroy) {
    Hook::previous = messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, &Hook::Proc);
    Hook::restoreOnDestroy = true;
    DestroyWindow(own_.window);
    // WM_DESTROY reached the hook, which put the window's own procedure
    // back, so WM_NCDESTROY went there.
    EXPECT_EQ(std::count(Hook::seen.begin(), Hook::seen.end(), msg::kDestroy), 1);
    EXPECT_EQ(std::count(Hook::seen.begin(), Hook::seen.end(), msg::kNcDestroy), 0);
    EXPECT_NE(std::find(OwnWindow::seen.begin(), OwnWindow::seen.end(), WM_NCDESTROY),
              OwnWindow::seen.end());
}

TEST_F(Win32WindowMessagesTest, AfterTheEndMessagesBypassTheLogic) {
    Hook::previous = messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, &Hook::Proc);
    run_.End();
    EXPECT_EQ(messages_.SendMessageA(own_.Handle(), kProbe, 0, 0), 7);
    EXPECT_TRUE(Hook::seen.empty());
}

TEST_F(Win32WindowMessagesTest, ReleasingAWindowPutsItsOwnProcedureBack) {
    Hook::previous = messages_.SetWindowLongA(own_.Handle(), kGwlWndProc, &Hook::Proc);
    Win32WindowMessages::ReleaseWindow(own_.Handle());
    EXPECT_EQ(GetWindowLongA(own_.window, GWL_WNDPROC), reinterpret_cast<LONG>(&OwnWindow::Proc));
    Win32WindowMessages::ReleaseWindow(own_.Handle());  // a second time: nothing to do
    EXPECT_EQ(messages_.SendMessageA(own_.Handle(), kProbe, 0, 0), 7);
    EXPECT_TRUE(Hook::seen.empty());
}

}  // namespace
}  // namespace ww::platform
