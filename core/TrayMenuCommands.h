#pragma once

#include <functional>

#include "core/SharedState.h"
#include "corners/HotCorners.h"
#include "corners/ScreenSaver.h"
#include "platform/ports/Ports.h"
#include "settings/RegistryAccess.h"
#include "ui/FrmMain.h"

namespace ww::core {

// What the tray icon's mouse and popup menu do: a double-click opens the main
// window, a right press pops the menu up with its checks and greys worked out
// afresh, and each item's command. Part of the tray form, which owns it.
class TrayMenuCommands final : public platform::TrayMenuEvents {
  public:
    TrayMenuCommands(platform::Ports& ports, SharedState& shared, corners::ScreenSaver& saver,
                     corners::HotCorners& hotCorners, ui::FrmMain& frmMain,
                     std::function<void()> menuExit);

    // Defines the popup menu; `trayForm` is the form the menu belongs to.
    void CreateMenu(platform::Hwnd trayForm);

    void picSysTray_MouseMove(int button, int shift, float x, float y);
    void menuRestore_Click();
    void menuHotCorners_Click();
    void menuStartSSaver_Click();
    void menuDisableSSaver_Click();
    void menuConfigSSaver_Click();

    // TrayMenuEvents
    void MenuCommand(int id) override;

  private:
    void OpenMainWindow();
    void PopupMenu();

    platform::Ports& ports_;
    SharedState& shared_;
    corners::ScreenSaver& saver_;
    corners::HotCorners& hotCorners_;
    settings::RegistryAccess reg_;
    ui::FrmMain& frmMain_;
    std::function<void()> menuExit_;
    platform::Hwnd trayForm_ = 0;
    // menuHotCorners' check mark as the last opening set it.
    bool hotCornersChecked_ = false;
    // The settings entry starts enabled; it is told only when that changes,
    // so a saver with settings leaves the menu as it always was.
    bool configGreyed_ = false;
};

}  // namespace ww::core
