#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/desktops/DesktopSession.h"
#include "tests/e2e/desktops/UnprivilegedDesktop.h"

namespace ww::e2e {

// Cinnamon 5.6's session manager and screen saver without its shell (the
// suite of our program's saver calls; CinnamonSession has the whole desktop),
// headless: cinnamon-session
// on a session of our own whose one required component is
// cinnamon-screensaver (no Cinnamon shell, no file manager); the saver blanks
// when the session's presence turns idle, from the X idle time, its
// idle-delay and its idle inhibitors. Both run as the unprivileged user on
// Xvfb; their settings go through GLib's keyfile backend.
class CinnamonSaverSession : public DesktopSession {
  public:
    CinnamonSaverSession();
    ~CinnamonSaverSession() override;

    void Start() override;
    void Stop() override;
    // org.cinnamon.ScreenSaver.GetActive.
    bool SaverActive() override;
    // cinnamon-screensaver-command --activate.
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // org.cinnamon.desktop.session idle-delay counts seconds.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(1); }
    std::string Dir() const override { return desktop_->X().Dir().Path(); }
    void KeepDir() override { desktop_->X().Dir().Keep(); }

    // Any idle delay, in effect from the next Start.
    void SetIdleDelay(int seconds);

    UnprivilegedDesktop& Desktop() { return *desktop_; }
    Environment ProgramEnv(const std::string& traceName) const;
    // cinnamon-screensaver-command --deactivate: unblanks, as a key press would.
    void Deactivate();
    // The session's presence: 0 available, 3 idle.
    int PresenceStatus();
    // How many inhibitors the session manager holds (GetInhibitors).
    int Inhibitors();
    // User activity: the pointer moves, the X idle time starts again.
    void Nudge();

  private:
    Environment Env() const;
    void WriteSettings(int idleSeconds);
    Output Command(const std::string& verb);

    std::unique_ptr<UnprivilegedDesktop> desktop_;
    std::string autostart_;
    std::optional<Process> session_;
    int starts_ = 0;
    int nudges_ = 0;
};

}  // namespace ww::e2e
