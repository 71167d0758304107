#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/desktops/DesktopSession.h"
#include "tests/e2e/desktops/UnprivilegedDesktop.h"

namespace ww::e2e {

// MATE 1.27's session manager and screen saver, headless: mate-session with
// none of its required components (no window manager, panel or file manager
// is needed for idleness) starts mate-screensaver from its autostart entry;
// mate-screensaver blanks when the session's presence turns idle, which
// mate-session decides from the X idle time, its idle-delay and its idle
// inhibitors. Both run as the unprivileged user on Xvfb; their settings go
// through GLib's keyfile backend, written before the session starts.
class MateSession : public DesktopSession {
  public:
    MateSession();
    ~MateSession() override;

    void Start() override;
    void Stop() override;
    // org.mate.ScreenSaver.GetActive.
    bool SaverActive() override;
    // mate-screensaver-command --activate.
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // org.mate.session idle-delay counts whole minutes; mate-screensaver
    // blanks some seconds after the presence turned idle.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::minutes(1); }
    std::string Dir() const override { return desktop_->X().Dir().Path(); }
    void KeepDir() override { desktop_->X().Dir().Keep(); }

    UnprivilegedDesktop& Desktop() { return *desktop_; }
    Environment ProgramEnv(const std::string& traceName) const;
    // mate-screensaver-command --deactivate: unblanks, as a key press would.
    void Deactivate();
    // The session's presence: 0 available, 3 idle.
    int PresenceStatus();
    // How many inhibitors the session manager holds (GetInhibitors).
    int Inhibitors();
    // User activity: the pointer moves, the X idle time starts again.
    void Nudge();

  private:
    Environment Env() const;
    void WriteSettings(int idleMinutes);
    Output Command(const std::string& verb);

    std::unique_ptr<UnprivilegedDesktop> desktop_;
    std::string autostart_;
    std::optional<Process> session_;
    int starts_ = 0;
    int nudges_ = 0;
};

}  // namespace ww::e2e
