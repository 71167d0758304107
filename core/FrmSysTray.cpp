#include "core/FrmSysTray.h"

#include <cctype>

#include "monitors/MemStats.h"
#include "monitors/WindowsVersion.h"
#include "settings/SettingsStore.h"
#include "tray/TrayPictureChoice.h"

namespace ww::core {

namespace {
constexpr std::uint32_t kUpdateIntervalMs = 400;
constexpr std::int16_t kTicksPerTrim = 750;  // five minutes of 400 ms ticks
}  // namespace

bool IsPopupOption(std::string_view commandLine) {
    std::string upper(commandLine);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper == "-POPUP";
}

FrmSysTray::FrmSysTray(platform::Ports& ports, SharedState& shared)
    : ports_(ports),
      shared_(shared),
      uptime_(ports.clock, ports.locale),
      sysTray_(ports.notifyIcon, ports.windows, [this] { return StartupLook(); }),
      reg_(ports.registry),
      saver_(ports.systemParameters),
      network_(ports.interfaceTable),
      hotCorners_(ports.cursorScreen, ports.dialogs, saver_, sysTray_, shared, shared, network_),
      frmMain_(ports, shared, shared, uptime_),
      menu_(ports, shared, saver_, hotCorners_, frmMain_, [this] { menuExit_Click(); }) {
    frmMain_.SetTrayFormUnloader([this] { UnloadTrayForm(); });
}

FrmSysTray::~FrmSysTray() {
    if (loaded_ && !unloaded_) {
        UnloadTrayForm();
    }
}

void FrmSysTray::Load() {
    windows_ = ports_.forms.CreateTrayForm(*this);
    sysTray_.LoadPictures(windows_.pictureBox);
    menu_.CreateMenu(windows_.form);
    loaded_ = true;
    Form_Load();
}

void FrmSysTray::Form_Load() {
    const auto& app = ports_.application.App();
    if (ports_.instance.PrevInstance()) {
        // The refused instance leaves everything as it found it: no unload
        // path, so the running instance keeps its screen saver, icon and hook.
        // Marked so before the box opens, as a signal or the session's end may
        // close the form while it is open.
        unloaded_ = true;
        ports_.dialogs.MsgBox("An instance of " + app.title + " is already running.\r\n" +
                                  "Shut it down before attempting to start another instance.",
                              platform::mb::kOkOnly | platform::mb::kExclamation, app.title);
        ports_.forms.DestroyTrayForm();
        ports_.eventLoop.End();
        return;
    }
    ports_.instance.CreateMutexA(false, app.title);
    ports_.instance.CreateMutexA(false, "Global\\" + app.title);

    monitors::DetectWindowsVersion(ports_.identity, shared_);
    shared_.ComputerName = monitors::GetComputerNameText(ports_.identity);
    uptime_.GetStartTimeText();

    settings::MigrateLegacySettings(reg_);
    settings::LoadSettings(reg_, shared_);

    sysTray_.HookTrayWindow(windows_.form);
    const tray::TrayIconLook look = StartupLook();
    sysTray_.AddTrayIcon(look.picture, look.tip);
    ShowUptime();

    if (IsPopupOption(ports_.application.Command())) {
        ShowMainWindow();
    }
    // The timer starts once start-up is through, so that no tick can run
    // while the duplicate-instance box is open.
    timUpdate_ = ports_.eventLoop.SetTimer(kUpdateIntervalMs, [this] { timUpdate_Timer(); });
}

tray::TrayIconLook FrmSysTray::StartupLook() {
    return {tray::StartupPicture(shared_.HotCornersEnabled),
            shared_.ComputerName + " " + ports_.application.App().title};
}

void FrmSysTray::ShowUptime() {
    sysTray_.SetTrayTip(shared_.ComputerName + " up for " + uptime_.GetUptimeText());
}

void FrmSysTray::timUpdate_Timer() {
    if (unloaded_) {
        return;
    }
    network_.Update();
    ShowUptime();
    hotCorners_.UpdateTrayState();
    menu_.FollowMenuStates();
    ports_.eventLoop.DoEvents();
    if (unloaded_) {
        return;  // a menu or window event ended the program meanwhile
    }
    if (updateTickCounter_ == 0) {
        monitors::TrimWorkingSet(ports_.memory);
    }
    updateTickCounter_ = static_cast<std::int16_t>((updateTickCounter_ + 1) % kTicksPerTrim);
}

void FrmSysTray::Form_Unload() {
    saver_.EnableScreenSaver();
    sysTray_.RemoveTrayIcon();
    sysTray_.UnhookTrayWindow();
}

void FrmSysTray::UnloadTrayForm() {
    if (unloaded_) {
        return;
    }
    unloaded_ = true;
    if (timUpdate_ != 0) {
        ports_.eventLoop.KillTimer(timUpdate_);
        timUpdate_ = 0;
    }
    Form_Unload();
    ports_.forms.DestroyTrayForm();
}

void FrmSysTray::menuExit_Click() {
    UnloadMainWindow();
    UnloadTrayForm();
    ports_.eventLoop.End();
}

void FrmSysTray::PlatformClose() {
    UnloadTrayForm();
    UnloadMainWindow();
    ports_.eventLoop.End();
}

void FrmSysTray::PictureBoxMouseMove(int button, int shift, float x, float y) {
    if (!unloaded_) {
        menu_.picSysTray_MouseMove(button, shift, x, y);
    }
}

void FrmSysTray::ShowMainWindow() {
    frmMain_.Show();
}

void FrmSysTray::UnloadMainWindow() {
    frmMain_.Unload();
}

}  // namespace ww::core
