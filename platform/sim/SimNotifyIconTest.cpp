#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace ww::platform {
namespace {

struct Events : TrayFormEvents {
    void PictureBoxMouseMove(int, int, float x, float) override { moves.push_back(x); }
    void PlatformClose() override { ++closes; }
    std::vector<float> moves;
    int closes = 0;
};

NotifyIconData Record(Hwnd window, std::uint32_t flags, HIcon icon, const char* tip) {
    NotifyIconData data;
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = window;
    data.uID = 9999;
    data.uFlags = flags;
    data.uCallbackMessage = (flags & nif::kMessage) ? msg::kMouseMove : 0;
    data.hIcon = icon;
    std::strncpy(data.szTip, tip, sizeof(data.szTip) - 1);
    return data;
}

// What a hooked tray form procedure sees; global because WndProc is a plain pointer.
std::vector<std::uint32_t> g_hooked;
WndProc g_previous = nullptr;
WindowMessages* g_windows = nullptr;

std::intptr_t Hook(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) {
    g_hooked.push_back(message);
    return g_windows->CallWindowProcA(g_previous, window, message, wParam, lParam);
}

class SimTrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_hooked.clear();
        windows_ = sim_.ports().forms.CreateTrayForm(events_);
    }
    Events events_;  // outlives the sim, whose forms point at it
    SimPlatform sim_;
    Forms::TrayFormWindows windows_;
};

TEST_F(SimTrayTest, AddModifyDeleteFollowTheIconsPresence) {
    auto& tray = sim_.ports().notifyIcon;
    const Hwnd box = windows_.pictureBox;
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kModify, Record(box, nif::kTip, 0, "x")));
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 5, "OFFICE7 Wakewatch")));
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 5, "again")));
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kModify, Record(box, nif::kTip, 0, "up")));
    const auto* icon = sim_.notifyIcon().Icon(box, 9999);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->tip, "up");
    EXPECT_EQ(icon->hIcon, 5u);  // a tip change keeps the picture
    sim_.notifyIcon().FailNext(nim::kModify);
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kDelete, Record(box, 0, 0, "")));
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 6, "b")));
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kModify, Record(box, nif::kTip, 0, "c")));
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kModify, Record(box, nif::kTip, 0, "d")));
    EXPECT_EQ(sim_.notifyIcon().OnlyIcon()->tip, "d");
    EXPECT_EQ(sim_.log().Count("Shell_NotifyIconA(NIM_MODIFY"), 4u);
    EXPECT_EQ(
        sim_.log().WithPrefix("Shell_NotifyIconA(NIM_ADD").front(),
        "Shell_NotifyIconA(NIM_ADD, hWnd=" + std::to_string(box) +
            ", uID=9999, uFlags=7, uCallbackMessage=512, hIcon=5, szTip=\"OFFICE7 Wakewatch\")");
    ASSERT_EQ(sim_.notifyIcon().Requests().size(), 8u);
    EXPECT_EQ(sim_.notifyIcon().Requests()[1].data.cbSize, 88u);
}

TEST_F(SimTrayTest, HostAbsenceFailsEverythingUntilItReturns) {
    auto& tray = sim_.ports().notifyIcon;
    const Hwnd box = windows_.pictureBox;
    ASSERT_TRUE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 5, "a")));
    sim_.notifyIcon().SetHostPresent(false);
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 5, "a")));
    sim_.notifyIcon().SetHostPresent(true);
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kModify, Record(box, nif::kTip, 0, "b")));
    EXPECT_TRUE(tray.Shell_NotifyIconA(nim::kAdd, Record(box, 7, 5, "a")));
    sim_.notifyIcon().LoseIcons();
    EXPECT_FALSE(tray.Shell_NotifyIconA(nim::kDelete, Record(box, 0, 0, "")));
}

TEST_F(SimTrayTest, TaskbarRestartReachesTheHookedFormProcedure) {
    g_windows = &sim_.ports().windows;
    const std::uint32_t taskbarCreated =
        sim_.ports().windows.RegisterWindowMessageA("TaskbarCreated");
    g_previous = sim_.ports().windows.SetWindowLongA(windows_.form, kGwlWndProc, &Hook);
    ASSERT_NE(g_previous, nullptr);
    sim_.ports().notifyIcon.Shell_NotifyIconA(nim::kAdd, Record(windows_.pictureBox, 7, 5, "a"));
    sim_.notifyIcon().RestartTaskbar();
    EXPECT_EQ(g_hooked, std::vector<std::uint32_t>{taskbarCreated});
    EXPECT_TRUE(sim_.notifyIcon().Icons().empty());
    // Other messages pass the hook on to the default procedure. The saver
    // starts through its own verb only, not through a system command.
    EXPECT_EQ(
        sim_.ports().windows.SendMessageA(windows_.form, msg::kSysCommand, msg::kScScreenSave, 0),
        0);
    EXPECT_EQ(g_hooked.back(), msg::kSysCommand);
    EXPECT_EQ(sim_.systemParameters().ScreenSaverStarts(), 0);
    // Destroying the form passes its destroy messages through the hook too.
    sim_.ports().forms.DestroyTrayForm();
    sim_.ports().forms.DestroyTrayForm();
    EXPECT_EQ(g_hooked.size(), 4u);
    EXPECT_FALSE(sim_.windowTable().Exists(windows_.form));
}

TEST_F(SimTrayTest, ClickReachesPictureBoxAsTwips) {
    sim_.forms().SetTwipsPerPixelX(12);
    sim_.ports().notifyIcon.Shell_NotifyIconA(nim::kAdd, Record(windows_.pictureBox, 7, 5, "a"));
    EXPECT_TRUE(sim_.notifyIcon().ClickIcon(msg::kLButtonDblClk));
    EXPECT_TRUE(sim_.notifyIcon().ClickIcon(msg::kRButtonDown));
    EXPECT_EQ(events_.moves, (std::vector<float>{515.0F * 12, 516.0F * 12}));
    EXPECT_TRUE(sim_.forms().CloseTrayForm());
    EXPECT_EQ(events_.closes, 1);
}

TEST_F(SimTrayTest, RegistrationCanFail) {
    sim_.windows().SetRegisterFails(true);
    EXPECT_EQ(sim_.ports().windows.RegisterWindowMessageA("TaskbarCreated"), 0u);
    EXPECT_EQ(sim_.ports().windows.SetWindowLongA(windows_.form, -20, &Hook), nullptr);
}

TEST(SimTrayTeardown, EndingTheSimBypassesAHookStillInstalled) {
    g_hooked.clear();
    Events events;
    {
        SimPlatform sim;
        const auto windows = sim.ports().forms.CreateTrayForm(events);
        g_windows = &sim.ports().windows;
        g_previous = sim.ports().windows.SetWindowLongA(windows.form, kGwlWndProc, &Hook);
    }
    EXPECT_TRUE(g_hooked.empty());
}

}  // namespace
}  // namespace ww::platform
