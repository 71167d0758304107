#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/SharedState.h"
#include "core/TrayMenuCommands.h"
#include "corners/HotCorners.h"
#include "corners/ScreenSaver.h"
#include "monitors/NetworkActivity.h"
#include "platform/ports/Ports.h"
#include "settings/RegistryAccess.h"
#include "tray/SysTray.h"
#include "ui/FrmMain.h"
#include "uptime/Uptime.h"

namespace ww::core {

// The hidden tray form: the program's start object. It owns the tray icon,
// the 400 ms update timer and the start-up and shutdown sequences.
class FrmSysTray : public platform::TrayFormEvents {
  public:
    FrmSysTray(platform::Ports& ports, SharedState& shared);
    ~FrmSysTray() override;
    FrmSysTray(const FrmSysTray&) = delete;
    FrmSysTray& operator=(const FrmSysTray&) = delete;

    // Creates the form's windows and pictures, then runs Form_Load.
    void Load();

    void Form_Load();
    void Form_Unload();
    void timUpdate_Timer();
    void ShowUptime();
    void menuExit_Click();

    // TrayFormEvents
    void PictureBoxMouseMove(int button, int shift, float x, float y) override;
    void PlatformClose() override;

    std::int16_t TickCounter() const { return updateTickCounter_; }
    tray::SysTray& Tray() { return sysTray_; }
    platform::Hwnd FormWindow() const { return windows_.form; }
    ui::FrmMain& MainWindow() { return frmMain_; }

  private:
    // Unloads the tray form (Form_Unload, timer and windows gone); idempotent.
    void UnloadTrayForm();
    void ShowMainWindow();
    void UnloadMainWindow();
    // The icon as start-up shows it: the picture for the hot-corners flag as
    // it is now, and the computer's name with the title.
    tray::TrayIconLook StartupLook();

    platform::Ports& ports_;
    SharedState& shared_;
    uptime::Uptime uptime_;
    tray::SysTray sysTray_;
    settings::RegistryAccess reg_;
    corners::ScreenSaver saver_;
    monitors::NetworkActivity network_;
    corners::HotCorners hotCorners_;
    ui::FrmMain frmMain_;
    TrayMenuCommands menu_;

    platform::Forms::TrayFormWindows windows_;
    platform::EventLoop::TimerId timUpdate_ = 0;
    std::int16_t updateTickCounter_ = 0;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// True when the argument text, in upper case, is exactly "-POPUP".
bool IsPopupOption(std::string_view commandLine);

}  // namespace ww::core
