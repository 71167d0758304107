#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/XSession.h"
#include "tests/e2e/desktops/DesktopSession.h"

namespace ww::e2e {

// GNOME Shell 43 headless on Wayland (one 1024 × 768 virtual monitor, no X
// server) with gnome-session as its session manager and the settings daemon's
// screen-saver proxy, all as the unprivileged user, on private session and
// system buses (root may connect to both, as the program under test does).
//
// What the shell needs before it builds its screen shield, which is what
// serves org.gnome.ScreenSaver (a bus-activated gjs service that forwards to
// the shell's org.gnome.Shell.ScreenShield): a display manager on the system
// bus new enough to lock (display_manager_stand_in answers its Version) and
// /run/systemd/seats. Idleness is gnome-session's: it watches the shell's idle
// monitor for org.gnome.desktop.session idle-delay, sets its presence to idle
// unless an inhibitor with the idle flag (8) is there, and the shell's shield
// goes up on that. Settings live in a keyfile in a private config folder
// (GSETTINGS_BACKEND=keyfile), which every process of the session reads and
// follows as it changes. Locking is off, so user activity takes the shield
// down again; animations are off, so the shield is up as soon as the session
// is idle (a fade of 10 s otherwise).
class GnomeSession : public DesktopSession {
  public:
    // Without screenSaverService the bus cannot start org.gnome.ScreenSaver,
    // as where gjs is missing: only the shell's own
    // org.gnome.Shell.ScreenShield serves the saver, and is asked here.
    // With x11 the shell is an X11 compositing window manager on Xvfb
    // instead (gnome-shell --x11), as in a GNOME on Xorg session.
    explicit GnomeSession(bool screenSaverService = true, bool x11 = false);
    ~GnomeSession() override;
    GnomeSession(const GnomeSession&) = delete;
    GnomeSession& operator=(const GnomeSession&) = delete;

    // Returns once org.gnome.ScreenSaver answers and, after a moment of user
    // activity, says inactive: the idle time counts from here.
    void Start() override;
    void Stop() override;
    // org.gnome.ScreenSaver.GetActive.
    bool SaverActive() override;
    // org.gnome.ScreenSaver.SetActive(true), as GNOME's own tools ask.
    void RequestSaverStart() override;
    // idle-delay 1; gnome-session follows the change at once, running or not.
    void SetIdleDelayToMinimum() override { SetIdleDelay(1); }
    // idle-delay counts whole seconds and 0 means never.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(1); }
    std::string Dir() const override { return dir_.Path(); }
    void KeepDir() override { dir_.Keep(); }

    void SetIdleDelay(unsigned seconds);
    // As if the user had moved the pointer: Mutter's ResetIdletime (enabled
    // by MUTTER_DEBUG_RESET_IDLETIME); an unlocked shield goes down on it.
    void UserActivity();
    // gnome-session's presence status: 0 available, 3 idle.
    int PresenceStatus();
    // The app ids of gnome-session's inhibitors that carry the idle flag.
    std::vector<std::string> IdleInhibitors();
    // Whether the AppIndicator extension's StatusNotifierWatcher is up.
    bool TrayWatcherUp();

    const std::string& SessionBus() const { return sessionBus_; }
    // What a program of the session gets: the shell's Wayland socket by its
    // full path (no DISPLAY), or on X11 the X display; both buses, its own
    // runtime and XDG folders, the trace going to <dir>/<traceName>.trace.
    Environment ProgramEnv(const std::string& traceName) const;
    std::string TracePath(const std::string& traceName) const;
    // The X server of an X11 session; null on Wayland.
    XSession* X() { return x_.get(); }
    // How long the last Start took until org.gnome.ScreenSaver answered.
    std::chrono::milliseconds StartTime() const { return startTime_; }

    // `gdbus call` on the session bus: the destination, object, method (with
    // its interface) and arguments in gdbus's text form.
    Output Call(const std::vector<std::string>& args);

  private:
    Environment UserEnv() const;
    std::string StartBus(std::optional<Process>& bus, const std::string& name);
    void WriteSettings();

    TempDir dir_;
    std::string saver_;  // the name its saver is asked by
    std::string user_;   // the unprivileged user's home, runtime and config
    unsigned idleDelay_ = 600;
    std::string systemBus_;
    std::string sessionBus_;
    std::string waylandSocket_;
    std::optional<Process> systemBusDaemon_;
    std::optional<Process> sessionBusDaemon_;
    std::optional<Process> displayManager_;
    std::optional<Process> sessionManager_;
    std::optional<Process> shell_;
    bool x11_ = false;
    std::unique_ptr<XSession> x_;
    std::chrono::milliseconds startTime_{0};
    int starts_ = 0;
};

}  // namespace ww::e2e
