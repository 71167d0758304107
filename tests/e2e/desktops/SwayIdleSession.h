#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/WaylandSession.h"
#include "tests/e2e/desktops/DesktopSession.h"

namespace ww::e2e {

// swayidle on a headless sway (the compositor as the unprivileged user, as
// WaylandSession runs it). swayidle has no query and no service: its idle
// command appends "idle" to a state file of ours and its resume command
// "resumed", so the last line is the saver's state. It learns of idleness
// from the compositor (ext-idle-notify or KDE's idle protocol), which is what
// zwp_idle_inhibit_manager_v1 holds off.
class SwayIdleSession : public DesktopSession {
  public:
    SwayIdleSession();
    ~SwayIdleSession() override;

    void Start() override;
    void Stop() override;
    bool SaverActive() override;
    // There is no standard request: SIGUSR1 makes swayidle run its idle
    // commands at once, as if the timeout had passed.
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // swayidle counts whole seconds and refuses 0.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(1); }
    std::string Dir() const override { return wayland_->Dir().Path(); }
    void KeepDir() override { wayland_->Dir().Keep(); }

    WaylandSession& Wayland() { return *wayland_; }
    // How many times the idle command has run.
    int IdleCount() const;

    // A private system bus with a logind session on it (a stand-in: logind
    // cannot run here), whose Lock signal swayidle's lock command follows;
    // for the next Start.
    void WithLoginSession();
    // Its address; empty without one.
    const std::string& SystemBus() const { return systemBus_; }
    // How many times the lock command has run, and the stand-in's calls.
    int LockCount() const;
    std::string LoginCalls() const;

  private:
    std::unique_ptr<WaylandSession> wayland_;
    std::string statePath_;
    int timeoutSeconds_ = 600;
    std::optional<Process> idle_;
    int starts_ = 0;
    std::string systemBus_;
    std::optional<Process> systemBusDaemon_;
    std::optional<Process> login_;
};

}  // namespace ww::e2e
