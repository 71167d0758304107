// The tray module on the real backend: its hook on the tray form, through
// the GWL_WNDPROC subclass, puts the icon back when the shell announces a
// new taskbar, with real Shell_NotifyIconA requests.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/win32/Win32Forms.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32SystemParameters.h"
#include "platform/win32/Win32TestPump.h"
#include "platform/win32/Win32WindowMessages.h"
#include "tray/SysTray.h"

namespace ww::platform {
namespace {

struct NoEvents : TrayFormEvents {
    void PictureBoxMouseMove(int, int, float, float) override {}
    void PlatformClose() override {}
};

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string Read(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class Win32TrayHookTest : public ::testing::Test {
  protected:
    Win32TrayHookTest()
        : path_(TempFile("ww-desktop-trayhook.txt")),
          trace_(path_),
          windows_(run_, trace_),
          notify_(trace_),
          forms_(GetModuleHandleA(nullptr), run_, trace_),
          tray_(notify_, windows_, [] {
              return tray::TrayIconLook{tray::TrayPicture::imgSleeperDisabled_none, "PC Wakewatch"};
          }) {
        made_ = forms_.CreateTrayForm(events_);
        tray_.LoadPictures(made_.pictureBox);
    }
    ~Win32TrayHookTest() override {
        tray_.RemoveTrayIcon();
        tray_.UnhookTrayWindow();
        forms_.DestroyTrayForm();
        DeleteFileA(path_.c_str());
    }

    std::string path_;
    RunState run_;
    Win32Trace trace_;
    Win32WindowMessages windows_;
    Win32NotifyIcon notify_;
    Win32Forms forms_;
    NoEvents events_;
    tray::SysTray tray_;
    Forms::TrayFormWindows made_;
};

TEST_F(Win32TrayHookTest, APostedTaskbarCreatedPutsTheLastPictureAndTipBack) {
    tray_.HookTrayWindow(made_.form);
    tray_.AddTrayIcon(tray::TrayPicture::imgSleeperDisabled_none, "PC Wakewatch");
    tray_.SetTrayIcon(tray::TrayPicture::imgIcon_rx);
    tray_.SetTrayTip("PC up for 0 days, 0:00:01");
    const std::string rx = std::to_string(tray_.IconHandle(tray::TrayPicture::imgIcon_rx));

    // The shell broadcasts it to every top-level window.
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(PostMessageA(ToWin<HWND>(made_.form), taskbarCreated, 0, 0), FALSE);
    const std::string readded = "notify add ok hIcon=" + rx + " tip=\"PC up for 0 days, 0:00:01\"";
    ASSERT_TRUE(PumpUntil([&] { return Read(path_).find(readded) != std::string::npos; }))
        << Read(path_);
    const std::string lines = Read(path_);
    const std::size_t seen = lines.find("taskbar-created");
    const std::size_t deleted = lines.find("notify delete ok", seen);
    EXPECT_NE(seen, std::string::npos);
    EXPECT_NE(deleted, std::string::npos);
    EXPECT_LT(deleted, lines.find(readded));
    // The icon is in the tray again: it can be changed.
    EXPECT_TRUE(notify_.Shell_NotifyIconA(
        nim::kModify, tray::SysTray::MakeRecord(made_.pictureBox, nif::kTip, 0, 0, "PC", true)));
}

TEST_F(Win32TrayHookTest, AStartRequestPassesTheHookToTheFormsOwnProcedure) {
    tray_.HookTrayWindow(made_.form);
    Win32SystemParameters saver(Win32SaverMarker("Software\\Wakewatch tests\\ScreenSaver"),
                                [this] { return forms_.FormWindow(); });
    const auto starts = [&] {
        const std::string lines = Read(path_);
        int count = 0;
        for (auto at = lines.find("saver start"); at != std::string::npos;
             at = lines.find("saver start", at + 1)) {
            ++count;
        }
        return count;
    };
    saver.StartScreenSaver();
    EXPECT_EQ(starts(), 1) << Read(path_);

    // Without the form there is nothing to send it to.
    forms_.DestroyTrayForm();
    saver.StartScreenSaver();
    EXPECT_EQ(starts(), 1);
}

TEST_F(Win32TrayHookTest, UnhookedTheFormPassesTaskbarCreatedOnUnseen) {
    tray_.HookTrayWindow(made_.form);
    tray_.UnhookTrayWindow();
    tray_.AddTrayIcon(tray::TrayPicture::imgIcon_none, "PC Wakewatch");
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(ToWin<HWND>(made_.form), taskbarCreated, 0, 0);
    EXPECT_EQ(Read(path_).find("taskbar-created"), std::string::npos);
    EXPECT_EQ(Read(path_).find("notify delete"), std::string::npos);
}

}  // namespace
}  // namespace ww::platform
