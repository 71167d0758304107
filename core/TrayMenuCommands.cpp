#include "core/TrayMenuCommands.h"

#include "settings/SettingsStore.h"
#include "tray/TrayPopup.h"
#include "ui/NotSaved.h"

namespace ww::core {

namespace {

// The tray form keeps the run-time's default scale.
constexpr int kTrayFormScaleMode = tray::kScaleModeTwips;

}  // namespace

TrayMenuCommands::TrayMenuCommands(platform::Ports& ports, SharedState& shared,
                                   corners::ScreenSaver& saver, corners::HotCorners& hotCorners,
                                   ui::FrmMain& frmMain, std::function<void()> menuExit)
    : ports_(ports),
      shared_(shared),
      saver_(saver),
      hotCorners_(hotCorners),
      reg_(ports.registry),
      frmMain_(frmMain),
      menuExit_(std::move(menuExit)) {}

void TrayMenuCommands::CreateMenu(platform::Hwnd trayForm) {
    trayForm_ = trayForm;
    ports_.trayMenu.CreateMenu(tray::TrayMenuItems(), tray::menu::menuRestore, *this);
}

void TrayMenuCommands::picSysTray_MouseMove(int, int, float x, float) {
    const double code = tray::TrayMouseCode(x, kTrayFormScaleMode, ports_.forms.TwipsPerPixelX());
    const bool acts = code == platform::msg::kLButtonDblClk || code == platform::msg::kRButtonDown;
    // A box of ours is open: it comes to the front, and nothing else happens
    // until it is closed.
    if (acts && ports_.dialogs.RaiseOpenBox()) {
        return;
    }
    if (code == platform::msg::kLButtonDblClk) {
        OpenMainWindow();
    } else if (code == platform::msg::kRButtonDown) {
        PopupMenu();
    }
}

void TrayMenuCommands::OpenMainWindow() {
    frmMain_.SetWindowState(platform::WindowState::Normal);
    ports_.windows.SetForegroundWindow(frmMain_.hWnd());
    frmMain_.Show();
}

void TrayMenuCommands::PopupMenu() {
    const bool saverActive = saver_.GetScreenSaverActive();
    hotCornersChecked_ = shared_.HotCornersEnabled == 1;
    SetMenuStates(saverActive, hotCornersChecked_);
    // The menu closes when the user clicks elsewhere only while the form is in front.
    ports_.windows.SetForegroundWindow(trayForm_);
    ports_.trayMenu.PopupMenu();
}

void TrayMenuCommands::SetMenuStates(bool saverActive, bool hotCornersChecked) {
    namespace menu = tray::menu;
    ports_.trayMenu.SetItemState(menu::menuStartSSaver, false, saverActive);
    // Greyed too where the desktop hides the corners from programs.
    ports_.trayMenu.SetItemState(
        menu::menuHotCorners, hotCornersChecked,
        !shared_.ScreenSaverDisabled && ports_.cursorScreen.CanWatchCorners());
    // Greyed where nothing can hold the saver off, unless it is checked: the
    // way back to "on" stays open.
    ports_.trayMenu.SetItemState(
        menu::menuDisableSSaver, shared_.ScreenSaverDisabled,
        shared_.ScreenSaverDisabled || ports_.systemParameters.CanSwitchScreenSaverOff());
    if (const bool grey = !ports_.shell.CanOpenScreenSaverSettings(); grey != configGreyed_) {
        ports_.trayMenu.SetItemState(menu::menuConfigSSaver, false, !grey);
        configGreyed_ = grey;
    }
}

// The check a click on "Enable Hot Corners" goes by stays the one the last
// opening set: a host that shows the menu unasked still asks on the click.
void TrayMenuCommands::FollowMenuStates() {
    if (!ports_.trayMenu.ShownWithoutAsking()) {
        return;
    }
    const auto& corners = hotCorners_.State();
    const Followed now{shared_.HotCornersEnabled, shared_.ScreenSaverDisabled,
                       corners.StartCornerState, corners.DisableCornerState};
    if (followed_ == now && ++ticksSinceStates_ < kRecheckTicks) {
        return;
    }
    followed_ = now;
    ticksSinceStates_ = 0;
    SetMenuStates(saver_.GetScreenSaverActive(), shared_.HotCornersEnabled == 1);
}

void TrayMenuCommands::MenuCommand(int id) {
    namespace menu = tray::menu;
    // A menu shown before the box opened (or a host's own) is still there.
    if (ports_.dialogs.RaiseOpenBox()) {
        return;
    }
    switch (id) {
        case menu::menuRestore:
            menuRestore_Click();
            break;
        case menu::menuHotCorners:
            menuHotCorners_Click();
            break;
        case menu::menuStartSSaver:
            menuStartSSaver_Click();
            break;
        case menu::menuDisableSSaver:
            menuDisableSSaver_Click();
            break;
        case menu::menuConfigSSaver:
            menuConfigSSaver_Click();
            break;
        case menu::menuExit:
            if (menuExit_) {
                menuExit_();
            }
            break;
        default:
            break;
    }
}

void TrayMenuCommands::menuRestore_Click() {
    frmMain_.Show();
    frmMain_.SetWindowState(platform::WindowState::Normal);
    ports_.windows.SetForegroundWindow(frmMain_.hWnd());
}

// In force at once and for the rest of the run; a write that fails is said.
void TrayMenuCommands::menuHotCorners_Click() {
    shared_.HotCornersEnabled = hotCornersChecked_ ? 0 : 1;
    const bool stored = settings::StoreHotCorners(reg_, shared_.HotCornersEnabled);
    if (frmMain_.Loaded()) {
        frmMain_.SetHotCornersBox(shared_.HotCornersEnabled);
    }
    if (!stored) {
        ui::WarnNotSaved(ports_.dialogs, ports_.application, {platform::MainControl::chkHotCorners},
                         ui::UnsavedSetting::InForceThisRun);
    }
}

void TrayMenuCommands::menuStartSSaver_Click() {
    saver_.StartScreenSaver();
}

void TrayMenuCommands::menuDisableSSaver_Click() {
    shared_.ScreenSaverDisabled = !shared_.ScreenSaverDisabled;
    bool refused = false;
    if (shared_.ScreenSaverDisabled) {
        // The system refused (on Windows: the note that would let the next
        // run switch it back on could not be written), so it stays on.
        refused = !saver_.DisableScreenSaver();
        shared_.ScreenSaverDisabled = !refused;
    } else {
        saver_.EnableScreenSaver();
    }
    hotCorners_.UpdateTrayState();
    if (refused) {
        ports_.dialogs.MsgBox("The screen saver could not be switched off.",
                              platform::mb::kOkOnly | platform::mb::kExclamation,
                              ports_.application.App().title);
    }
}

void TrayMenuCommands::menuConfigSSaver_Click() {
    if (!ports_.shell.OpenScreenSaverSettings()) {
        ports_.dialogs.MsgBox("The screen saver settings could not be opened.",
                              platform::mb::kOkOnly | platform::mb::kExclamation,
                              ports_.application.App().title);
    }
}

}  // namespace ww::core
