#pragma once

#include <string>

namespace ww::platform {

// What a session offers to start and hold off a screen saver, as found at
// run time: names on the session bus, the Wayland globals, a running
// xscreensaver. The desktop's name is not asked: a session runs whatever saver
// its user set up.
struct SaverOffer {
    bool x11 = false;             // an X session (a Wayland one otherwise)
    bool xscreensaver = false;    // its window on the root carries _SCREENSAVER_VERSION
    bool freedesktop = false;     // org.freedesktop.ScreenSaver
    bool gnome = false;           // org.gnome.ScreenSaver or org.gnome.Shell.ScreenShield
    bool mate = false;            // org.mate.ScreenSaver
    bool cinnamon = false;        // org.cinnamon.ScreenSaver
    bool sessionManager = false;  // org.gnome.SessionManager (gnome-, mate- and cinnamon-session)
    bool idleInhibit = false;     // zwp_idle_inhibit_manager_v1 and a layer shell to map a surface
    bool logindSession = false;   // this process belongs to a logind session
};

// How the saver is started now.
enum class StartWay {
    None,                  // nothing can start it
    XServer,               // XForceScreenSaver
    XScreenSaverActivate,  // ACTIVATE to xscreensaver's window
    FreedesktopSetActive,  // org.freedesktop.ScreenSaver.SetActive(true)
    GnomeSetActive,        // org.gnome.ScreenSaver.SetActive(true)
    MateSetActive,         // org.mate.ScreenSaver.SetActive(true)
    CinnamonSetActive,     // org.cinnamon.ScreenSaver.SetActive(true)
    LogindLock,            // org.freedesktop.login1.Session.Lock
};

// How the saver is held off.
enum class HoldWay {
    None,                    // nothing can hold it
    XTimeout,                // the X server's timeout set to 0
    XScreenSaverDeactivate,  // DEACTIVATE to xscreensaver's window, more often than its timeout
    FreedesktopInhibit,      // org.freedesktop.ScreenSaver.Inhibit
    SessionManagerInhibit,   // org.gnome.SessionManager.Inhibit, flags 8 (idle)
    IdleInhibitor,           // zwp_idle_inhibitor_v1 on a surface of ours
};

struct SaverChoice {
    StartWay start = StartWay::None;
    HoldWay hold = HoldWay::None;
    friend bool operator==(const SaverChoice&, const SaverChoice&) = default;
};

// The saver the session runs, from what it offers. xscreensaver comes first:
// its xscreensaver-systemd also owns org.freedesktop.ScreenSaver, which starts
// nothing. A desktop's own service comes before the freedesktop one, which on
// GNOME is a proxy that answers SetActive with NotSupported. The X server's
// own saver only counts where nothing else runs.
SaverChoice ChooseSaver(const SaverOffer& offer);

// One line for stderr: "screen saver through ..." (without "wakewatch: ").
std::string DescribeSaver(const SaverChoice& choice);

// Why Start is greyed / the hold refused, for stderr; empty when they work.
std::string WhyNoStart(const SaverOffer& offer, const SaverChoice& choice);

}  // namespace ww::platform
