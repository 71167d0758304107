#include "ui/FrmMain.h"

#include "monitors/MemStats.h"
#include "ui/FrmMainLayout.h"
#include "ui/IgnoreErrors.h"
#include "ui/Links.h"

namespace ww::ui {

namespace {

using platform::MainControl;
using platform::MousePointer;
using platform::WindowState;

constexpr std::uint32_t kTimer1IntervalMs = 1000;
constexpr std::uint32_t kInitCommonControlsExSize = 8;
constexpr std::uint32_t kIccUserExClasses = 0x200;
constexpr int kLeftButton = 1;
constexpr int kShiftCtrlAlt = 1 + 2 + 4;

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::string();
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string VersionNumber(const platform::AppFacts& app) {
    return std::to_string(app.major) + "." + std::to_string(app.minor) + "." +
           std::to_string(app.revision);
}

}  // namespace

FrmMain::FrmMain(platform::Ports& ports, const monitors::ComputerIdentity& computer,
                 settings::StoredFlags& flags, uptime::Uptime& uptime)
    : ports_(ports),
      view_(ports.mainWindow),
      computer_(computer),
      uptime_(uptime),
      settings_(ports.mainWindow, ports.registry, ports.dialogs, ports.application,
                ports.cursorScreen, flags) {}

FrmMain::~FrmMain() {
    Unload();
}

void FrmMain::Load() {
    if (loaded_) {
        return;
    }
    window_ = view_.Create(FrmMainLayout(), *this);
    loaded_ = true;
    Form_Load();
    timer1_ = ports_.eventLoop.SetTimer(kTimer1IntervalMs, [this] { Timer1_Timer(); });
}

void FrmMain::Show() {
    Load();
    view_.Show();
}

void FrmMain::Unload() {
    if (!loaded_) {
        return;
    }
    Form_Unload();
    ports_.eventLoop.KillTimer(timer1_);
    timer1_ = 0;
    loaded_ = false;
    window_ = 0;
    view_.Destroy();
}

void FrmMain::SetWindowState(WindowState state) {
    Load();
    if (view_.GetWindowState() == state) {
        return;
    }
    view_.SetWindowState(state);
    Form_Resize();
}

WindowState FrmMain::GetWindowState() {
    Load();
    return view_.GetWindowState();
}

platform::Hwnd FrmMain::hWnd() {
    Load();
    return window_;
}

void FrmMain::SetHotCornersBox(int state) {
    Load();
    settings_.SetBox(MainControl::chkHotCorners, state);
}

void FrmMain::Form_Load() {
    const platform::AppFacts& app = ports_.application.App();
    IgnoreErrors([&] { view_.InitCommonControlsEx(kInitCommonControlsExSize, kIccUserExClasses); });
    IgnoreErrors([&] { view_.SetText(MainControl::Window, app.title); });
    IgnoreErrors([&] { view_.SetWindowState(WindowState::Normal); });
    for (const MainControl field : {MainControl::txtUptime, MainControl::txtStartTime,
                                    MainControl::txtCpuUsage, MainControl::txtMemUsage}) {
        IgnoreErrors([&] { view_.SetBackColorButtonFace(field); });
    }
    IgnoreErrors([&] { view_.SetText(MainControl::lblAppName, app.title); });
    IgnoreErrors([&] {
        view_.SetText(MainControl::lblVersion,
                      "version " + VersionNumber(app) + "  (" + Trim(kBuildDate) + ")");
    });
    appNameVersion_ = app.title + " " + VersionNumber(app);
    IgnoreErrors([&] { view_.SetText(MainControl::lblVisit, "visit the " + app.title); });
    // The labels size themselves to their text; each link follows its sentence.
    IgnoreErrors([&] {
        view_.SetLeft(MainControl::lblWebsite, view_.GetLeft(MainControl::lblVisit) +
                                                   view_.GetWidth(MainControl::lblVisit) +
                                                   kLinkGap);
    });
    IgnoreErrors([&] {
        view_.SetLeft(MainControl::lblEmail, view_.GetLeft(MainControl::lblCopyright) +
                                                 view_.GetWidth(MainControl::lblCopyright) +
                                                 kLinkGap);
    });
    // Without a sampler (its error 8001) ShowInfo leaves the processor field alone.
    IgnoreErrors([&] {
        cpuLoadMonitor_ =
            std::make_unique<monitors::CPULoad>(ports_.identity, ports_.processorLoad);
    });
    IgnoreErrors([&] { ShowInfo(); });
    IgnoreErrors([&] { ShowCurrentSettings(); });
}

void FrmMain::Form_Unload() {
    cpuLoadMonitor_.reset();
}

void FrmMain::Timer1_Timer() {
    ShowInfo();
}

void FrmMain::ShowInfo() {
    IgnoreErrors([&] {
        view_.SetText(MainControl::txtUptime,
                      computer_.ComputerName + " has been up for " + uptime_.GetUptimeText());
    });
    IgnoreErrors([&] {
        view_.SetText(MainControl::txtStartTime, "up since " + uptime_.GetStartTimeText());
    });
    IgnoreErrors([&] {
        view_.SetText(MainControl::txtMemUsage,
                      monitors::GetMemoryUsageText(ports_.memory, ports_.locale, computer_));
    });
    if (cpuLoadMonitor_) {
        IgnoreErrors(
            [&] { view_.SetText(MainControl::txtCpuUsage, cpuLoadMonitor_->CPUString()); });
    }
}

void FrmMain::ShowCurrentSettings() {
    settings_.ShowCurrentSettings();
}

// Ends the whole program: the tray form (and its icon) first.
void FrmMain::btnUnload_Click() {
    if (unloadTrayForm_) {
        unloadTrayForm_();
    }
    Unload();
    ports_.eventLoop.End();
}

void FrmMain::btnApply_Click() {
    settings_.btnApply_Click();
}

void FrmMain::btnOK_Click() {
    btnApply_Click();
    btnCancel_Click();
}

// Minimising hides the window (Form_Resize); unloading then drops the page's changes.
void FrmMain::btnCancel_Click() {
    SetWindowState(WindowState::Minimized);
    Unload();
}

void FrmMain::ExecuteLink(std::string link) {
    ui::ExecuteLink(ports_.shell, ports_.dialogs, view_, ports_.application.App().title, link);
}

void FrmMain::lblWebsite_Click() {
    ExecuteLink(std::string(kWebsiteAddress));
}

// The subject goes in as it is, blank included.
void FrmMain::lblEmail_Click() {
    ExecuteLink("mailto:" + std::string(kAuthorEmail) + "?subject=" + appNameVersion_);
}

// The hidden greeting: a left click on the icon with Shift, Ctrl and Alt held.
void FrmMain::Image_MouseDown(int button, int shift) {
    if (button != kLeftButton || shift != kShiftCtrlAlt) {
        return;
    }
    easterEggShown_ = !easterEggShown_;
    if (easterEggShown_) {
        view_.SetText(MainControl::lblEEgg, kGreeting);
    } else {
        Form_Activate();
    }
}

void FrmMain::Form_Activate() {
    view_.SetText(MainControl::lblEEgg, "");
}

// A minimised window goes back to the tray: hidden, and normal for its next showing.
void FrmMain::Form_Resize() {
    if (view_.GetWindowState() == WindowState::Minimized) {
        view_.Hide();
        view_.SetWindowState(WindowState::Normal);
    }
    monitors::TrimWorkingSet(ports_.memory);
}

void FrmMain::Form_Close() {
    btnCancel_Click();
}

void FrmMain::Click(MainControl control) {
    switch (control) {
        case MainControl::btnUnload:
            btnUnload_Click();
            break;
        case MainControl::btnOK:
            btnOK_Click();
            break;
        case MainControl::btnCancel:
            btnCancel_Click();
            break;
        case MainControl::btnApply:
            btnApply_Click();
            break;
        case MainControl::lblWebsite:
            lblWebsite_Click();
            break;
        case MainControl::lblEmail:
            lblEmail_Click();
            break;
        default:
            settings_.Click(control);
    }
}

// The hand over the links; the arrow again over the window or the tab control.
void FrmMain::MouseMove(MainControl control) {
    if (control == MainControl::lblEmail || control == MainControl::lblWebsite) {
        view_.SetMousePointer(MousePointer::Hand);
    } else if (control == MainControl::Window || control == MainControl::SSTab1) {
        view_.SetMousePointer(MousePointer::Default);
    }
}

void FrmMain::MouseDown(MainControl control, int button, int shift) {
    if (control == MainControl::Image) {
        Image_MouseDown(button, shift);
    }
}

}  // namespace ww::ui
