#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/desktops/DesktopSession.h"
#include "tests/e2e/desktops/UnprivilegedDesktop.h"

namespace ww::e2e {

// XFCE 4.18's panel with xscreensaver 6 as its saver, headless: xfce4-panel
// with one Status Tray plugin (XEmbed and StatusNotifierItem host, and the
// session's StatusNotifierWatcher), its layout an xfconf channel file of our
// own; xfconfd comes by D-Bus activation. xscreensaver runs beside it, both
// as the unprivileged user on Xvfb.
class XfceSession : public DesktopSession {
  public:
    XfceSession();
    ~XfceSession() override;

    void Start() override;
    void Stop() override;
    // xscreensaver-command -time says blanked (or locked).
    bool SaverActive() override;
    // xscreensaver-command -activate.
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // Below 5 s xscreensaver 6.06 drops the setting for a timeout of ten hours.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(5); }
    std::string Dir() const override { return desktop_->X().Dir().Path(); }
    void KeepDir() override { desktop_->X().Dir().Keep(); }

    UnprivilegedDesktop& Desktop() { return *desktop_; }
    Environment ProgramEnv(const std::string& traceName) const;
    // xscreensaver-command -deactivate: unblanks, as a key press would.
    void Deactivate();
    // User activity: the pointer moves, the idle time starts again.
    void Nudge();
    // The panel alone, as a user restarting it would: killed by its pid, and
    // started again (the Status Tray and its watcher with it).
    void KillPanel();
    void StartPanel();
    // The panel's strip at the bottom of the 1024 × 768 screen (size 32
    // and a border line: 33 rows).
    static constexpr int kPanelTop = 735;

  private:
    Environment Env() const;
    void WriteSaverSettings(const std::string& timeout);
    Output Command(const std::string& verb);

    std::unique_ptr<UnprivilegedDesktop> desktop_;
    std::optional<Process> panel_;
    std::optional<Process> saver_;
    int saverStarts_ = 0;
    int panelStarts_ = 0;
    int nudges_ = 0;
};

}  // namespace ww::e2e
