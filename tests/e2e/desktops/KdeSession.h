#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/desktops/DesktopSession.h"
#include "tests/e2e/desktops/UnprivilegedDesktop.h"

namespace ww::e2e {

// KDE Plasma 5.27 on X11, headless: kwin_x11, kded5 with its
// StatusNotifierWatcher (loaded by hand, as the session's start-up would) and
// ksmserver, whose screen locker owns org.freedesktop.ScreenSaver and runs
// kscreenlocker_greet once locked; all as the unprivileged user on Xvfb.
// Its settings are a kscreenlockerrc of our own.
class KdeSession : public DesktopSession {
  public:
    KdeSession();
    ~KdeSession() override;

    void Start() override;
    void Stop() override;
    // org.freedesktop.ScreenSaver.GetActive: true once locked.
    bool SaverActive() override;
    // Lock, as xdg-screensaver and KDE's own lock action ask.
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // kscreenlockerrc's Timeout counts whole minutes; 0 means never.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::minutes(1); }
    std::string Dir() const override { return desktop_->X().Dir().Path(); }
    void KeepDir() override { desktop_->X().Dir().Keep(); }

    UnprivilegedDesktop& Desktop() { return *desktop_; }
    // The program under test's environment, as a Plasma session gives it.
    Environment ProgramEnv(const std::string& traceName) const;
    // A locked screen comes back only through the greeter's password: the
    // locker (ksmserver) is started anew, unlocked, the rest stays up.
    void RestartLocker();
    // User activity: the pointer moves, the X idle time starts again.
    void Nudge();

    // Plasma's panel (plasmashell, with the activity manager it needs),
    // along the bottom edge with its system tray: the StatusNotifierHost.
    void StartPanel();
    // Ends plasmashell by force, as a crash would, and waits until the
    // watcher has no host.
    void KillPanel();
    // The panel's top row on the 1024 × 768 screen, once it is up.
    static constexpr int kPanelTop = 768 - 44;

  private:
    Environment Env() const;
    void WriteSettings(int minutes);
    void StartLocker();
    bool HostRegistered() const;

    std::unique_ptr<UnprivilegedDesktop> desktop_;
    std::optional<Process> kwin_;
    std::optional<Process> kded_;
    std::optional<Process> ksmserver_;
    std::optional<Process> activities_;
    std::optional<Process> panel_;
    int lockers_ = 0;
    int nudges_ = 0;
    int panels_ = 0;
};

}  // namespace ww::e2e
