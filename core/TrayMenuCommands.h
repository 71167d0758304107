#pragma once

#include <cstdint>
#include <functional>
#include <optional>

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

    // Once per tick, after the tray state: for a menu that a tray host may
    // show without asking first, the checks and greys follow what they show
    // at once when a flag or a corner changed, and every kRecheckTicks ticks
    // for the saver, which can come and go outside the program.
    void FollowMenuStates();
    static constexpr int kRecheckTicks = 25;  // 10 s of 400 ms ticks

    // TrayMenuEvents
    void MenuCommand(int id) override;

  private:
    void OpenMainWindow();
    void PopupMenu();
    // The checks and greys of a right press, hot corners checked or not.
    void SetMenuStates(bool saverActive, bool hotCornersChecked);

    // What the followed states hang on, as the last tick saw it.
    struct Followed {
        std::uint8_t hotCorners = 0;
        bool saverDisabled = false;
        std::uint8_t startCorner = 0;
        std::uint8_t disableCorner = 0;
        bool operator==(const Followed&) const = default;
    };

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
    std::optional<Followed> followed_;
    int ticksSinceStates_ = 0;
};

}  // namespace ww::core
