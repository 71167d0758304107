#pragma once

#include <functional>
#include <memory>
#include <string>

#include "monitors/CPULoad.h"
#include "monitors/ComputerIdentity.h"
#include "platform/ports/Ports.h"
#include "settings/StoredFlags.h"
#include "ui/SettingsPage.h"
#include "uptime/Uptime.h"

namespace ww::ui {

// The main window: Status, Settings and About pages over the view. The
// object lives for the whole run; its window is loaded on demand (showing
// it, or asking for its state or handle, loads it) and unloaded by Cancel,
// OK, Unload and the tray's exit.
class FrmMain final : public platform::MainWindowEvents {
  public:
    // `uptime` is the tray form's clock, whose start time is fixed at start-up.
    FrmMain(platform::Ports& ports, const monitors::ComputerIdentity& computer,
            settings::StoredFlags& flags, uptime::Uptime& uptime);
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // The Unload button's first step: unloading the tray form.
    void SetTrayFormUnloader(std::function<void()> unloadTrayForm) {
        unloadTrayForm_ = std::move(unloadTrayForm);
    }

    // The run-time's form operations.
    void Load();
    void Show();
    void Unload();
    bool Loaded() const { return loaded_; }
    // A change of state runs Form_Resize, as the run-time does.
    void SetWindowState(platform::WindowState state);
    platform::WindowState GetWindowState();
    platform::Hwnd hWnd();
    // chkHotCorners set from outside (the tray menu); loads the window.
    void SetHotCornersBox(int state);

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void ShowInfo();
    void ShowCurrentSettings();
    void btnUnload_Click();
    void btnApply_Click();
    void btnOK_Click();
    void btnCancel_Click();
    void ExecuteLink(std::string link);
    void lblWebsite_Click();
    void lblEmail_Click();
    void Image_MouseDown(int button, int shift);

    // MainWindowEvents
    void Form_Activate() override;
    void Form_Resize() override;
    // Closing from the title bar is Cancel: the window goes, nothing is applied.
    void Form_Close() override;
    void Click(platform::MainControl control) override;
    void MouseMove(platform::MainControl control) override;
    void MouseDown(platform::MainControl control, int button, int shift) override;

    const std::string& AppNameVersion() const { return appNameVersion_; }
    bool EasterEggShown() const { return easterEggShown_; }
    bool HasCpuLoadMonitor() const { return cpuLoadMonitor_ != nullptr; }
    SettingsPage& Settings() { return settings_; }

  private:
    platform::Ports& ports_;
    platform::MainWindowView& view_;
    const monitors::ComputerIdentity& computer_;
    uptime::Uptime& uptime_;
    SettingsPage settings_;
    std::function<void()> unloadTrayForm_;

    std::unique_ptr<monitors::CPULoad> cpuLoadMonitor_;
    std::string appNameVersion_;
    bool easterEggShown_ = false;  // kept across unloading
    platform::Hwnd window_ = 0;
    platform::EventLoop::TimerId timer1_ = 0;
    bool loaded_ = false;
};

}  // namespace ww::ui
