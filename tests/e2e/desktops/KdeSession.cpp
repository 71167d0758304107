#include "tests/e2e/desktops/KdeSession.h"

#include <csignal>
#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

const std::string kSaver = "org.freedesktop.ScreenSaver";

// What startplasma-x11 sets for the session.
void AsPlasma(Environment& env) {
    env.Set("XDG_CURRENT_DESKTOP", "KDE");
    env.Set("XDG_SESSION_TYPE", "x11");
    env.Set("KDE_FULL_SESSION", "true");
    env.Set("KDE_SESSION_VERSION", "5");
}

}  // namespace

KdeSession::KdeSession() : desktop_(std::make_unique<UnprivilegedDesktop>()) {
    // KDE's own default: nothing locks during a test unless asked to.
    WriteSettings(5);
}

KdeSession::~KdeSession() {
    Stop();
}

Environment KdeSession::Env() const {
    Environment env = desktop_->DesktopEnv();
    AsPlasma(env);
    return env;
}

Environment KdeSession::ProgramEnv(const std::string& traceName) const {
    Environment env = desktop_->ProgramEnv(traceName);
    AsPlasma(env);
    return env;
}

void KdeSession::WriteSettings(int minutes) {
    const std::string path = desktop_->Config() + "/kscreenlockerrc";
    std::ofstream(path) << "[Daemon]\nAutolock=true\nTimeout=" << minutes << "\n";
    desktop_->HandBack();
}

void KdeSession::Start() {
    if (!kwin_) {
        kwin_.emplace(desktop_->Spawn("kwin_x11", {"kwin_x11"}, Env()));
        desktop_->WaitOwned("org.kde.KWin", "kwin_x11", 20s);
    }
    if (!kded_) {
        kded_.emplace(desktop_->Spawn("kded5", {"kded5"}, Env()));
        desktop_->WaitOwned("org.kde.kded5", "kded5", 20s);
        // Plasma's start-up loads it among kded's modules; nothing else asks here.
        desktop_->Busctl({"call", "org.kde.kded5", "/kded", "org.kde.kded5", "loadModule", "s",
                          "statusnotifierwatcher"});
        desktop_->WaitOwned("org.kde.StatusNotifierWatcher", "kded5", 10s);
    }
    if (!ksmserver_) {
        StartLocker();
    }
}

void KdeSession::StartLocker() {
    // The locker's idle timer counts the X server's idle time, which may
    // already be past the timeout.
    Nudge();
    const std::string log = "ksmserver-" + std::to_string(++lockers_);
    ksmserver_.emplace(desktop_->Spawn(log, {"ksmserver"}, Env()));
    desktop_->WaitOwned(kSaver, log, 20s);
    if (!WaitFor(
            [&] {
                return desktop_
                           ->Busctl({"call", kSaver, "/org/freedesktop/ScreenSaver", kSaver,
                                     "GetActive"})
                           .code == 0;
            },
            10s, 100ms)) {
        throw std::runtime_error("ksmserver's locker does not answer, see " + Dir() + "/" + log +
                                 ".log");
    }
}

void KdeSession::RestartLocker() {
    ksmserver_.reset();  // with its group: the greeter goes too
    if (!WaitFor([&] { return !desktop_->Owned(kSaver); }, 10s, 100ms)) {
        throw std::runtime_error("org.freedesktop.ScreenSaver outlived ksmserver");
    }
    StartLocker();
}

void KdeSession::StartPanel() {
    Environment env = Env();
    env.Set("QT_QPA_PLATFORM", "xcb");
    if (!activities_) {
        // The shell finds its applets through the service cache, which a
        // fresh home has not built yet.
        Process cache = desktop_->Spawn("kbuildsycoca5", {"kbuildsycoca5", "--noincremental"}, env);
        if (!cache.WaitExit(60s) || cache.ExitCode() != 0) {
            throw std::runtime_error("kbuildsycoca5: " + cache.Describe() + ", see " + Dir() +
                                     "/kbuildsycoca5.log");
        }
        // plasmashell loads no shell without the activity manager, and
        // nothing would start it by its bus name.
        activities_.emplace(desktop_->Spawn(
            "kactivitymanagerd", {"/usr/lib/x86_64-linux-gnu/libexec/kactivitymanagerd"}, env));
        desktop_->WaitOwned("org.kde.ActivityManager", "kactivitymanagerd", 20s);
    }
    if (panel_) {
        return;
    }
    const std::string log = "plasmashell-" + std::to_string(++panels_);
    panel_.emplace(desktop_->Spawn(log, {"plasmashell", "--no-respawn"}, env));
    if (!WaitFor([&] { return HostRegistered(); }, 60s, 200ms)) {
        throw std::runtime_error("plasmashell registered no tray host, see " + Dir() + "/" + log +
                                 ".log");
    }
}

void KdeSession::KillPanel() {
    if (panel_) {
        panel_->Signal(SIGKILL);
        panel_->WaitExit(10s);
        panel_.reset();
    }
    WaitFor([&] { return !HostRegistered(); }, 10s, 100ms);
}

bool KdeSession::HostRegistered() const {
    return desktop_
        ->Busctl({"get-property", "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                  "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"})
        .out.starts_with("b true");
}

void KdeSession::Stop() {
    panel_.reset();
    activities_.reset();
    ksmserver_.reset();
    kded_.reset();
    kwin_.reset();
}

bool KdeSession::SaverActive() {
    const Output answer =
        desktop_->Busctl({"call", kSaver, "/org/freedesktop/ScreenSaver", kSaver, "GetActive"});
    if (answer.code != 0) {
        throw std::runtime_error("GetActive on ksmserver failed: " + answer.out);
    }
    return answer.out.starts_with("b true");
}

void KdeSession::RequestSaverStart() {
    if (desktop_->Busctl({"call", kSaver, "/ScreenSaver", kSaver, "Lock"}).code != 0) {
        throw std::runtime_error("Lock on ksmserver failed");
    }
}

void KdeSession::SetIdleDelayToMinimum() {
    WriteSettings(1);
    if (ksmserver_) {
        RestartLocker();
    }
}

void KdeSession::Nudge() {
    const int x = 300 + (++nudges_ % 2);
    desktop_->X().Xdotool({"mousemove", std::to_string(x), "300"});
}

}  // namespace ww::e2e
