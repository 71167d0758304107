#include "tests/e2e/desktops/GnomeSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

constexpr const char* kSeats = "/run/systemd/seats";
// The folder this harness made because the machine had none: it goes again
// with the last session.
bool madeSeats = false;

// Debian's build of the AppIndicator extension, and upstream's.
const char* const kExtensions =
    "['ubuntu-appindicators@ubuntu.com', 'appindicatorsupport@rgcjonas.gmail.com']";
const char* const kScreenSaverProxy =
    "/etc/xdg/autostart/org.gnome.SettingsDaemon.ScreensaverProxy.desktop";

std::string FindSocket(const std::string& dir, const std::string& prefix) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && !name.ends_with(".lock") && entry.is_socket()) {
            return entry.path().string();
        }
    }
    return {};
}

}  // namespace

GnomeSession::GnomeSession(bool screenSaverService, bool x11)
    : saver_(screenSaverService ? "org.gnome.ScreenSaver" : "org.gnome.Shell.ScreenShield"),
      x11_(x11) {
    // The unprivileged user must pass through our folder to its own.
    ::chmod(dir_.Path().c_str(), 0711);
    user_ = dir_.Sub("user");
    for (const char* sub : {"home", "runtime", "config/gnome-session/sessions",
                            "config/glib-2.0/settings", "autostart"}) {
        std::filesystem::create_directories(user_ + "/" + sub);
    }
    // A session of no components of its own: the shell is ours to start. Of
    // the settings daemon's plugins only the screen-saver proxy, which owns
    // org.freedesktop.ScreenSaver as on every GNOME desktop.
    std::ofstream(user_ + "/config/gnome-session/sessions/wakewatch.session")
        << "[GNOME Session]\nName=Wakewatch test\nRequiredComponents=\n";
    std::filesystem::copy_file(kScreenSaverProxy, user_ + "/autostart/screensaver-proxy.desktop");
    // Both buses run as the user, as a login's would, and let root in too.
    std::ofstream conf(dir_.Path() + "/bus.conf");
    conf << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n";
    if (screenSaverService) {
        conf << "  <include>/usr/share/dbus-1/session.conf</include>\n";
    } else {
        // The session's own configuration, with every service it can start
        // but org.gnome.ScreenSaver.
        const std::string services = dir_.Sub("services");
        for (const auto& entry :
             std::filesystem::directory_iterator("/usr/share/dbus-1/services")) {
            if (entry.path().filename() != "org.gnome.ScreenSaver.service") {
                std::filesystem::create_symlink(entry.path(),
                                                services + "/" + entry.path().filename().string());
            }
        }
        ::chmod(services.c_str(), 0755);
        conf << "  <type>session</type>\n  <keep_umask/>\n  <listen>unix:tmpdir=/tmp</listen>\n"
                "  <auth>EXTERNAL</auth>\n  <servicedir>"
             << services
             << "</servicedir>\n"
                "  <policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>\n";
    }
    conf << "  <policy context=\"default\"><allow user=\"root\"/></policy>\n"
            "</busconfig>\n";
    conf.close();
    ::chmod((dir_.Path() + "/bus.conf").c_str(), 0644);
}

GnomeSession::~GnomeSession() {
    Stop();
}

void GnomeSession::WriteSettings() {
    std::ofstream(user_ + "/config/glib-2.0/settings/keyfile")
        << "[org/gnome/desktop/session]\nidle-delay=uint32 " << idleDelay_ << "\n\n"
        << "[org/gnome/desktop/screensaver]\nlock-enabled=false\n\n"
        << "[org/gnome/desktop/interface]\nenable-animations=false\n\n"
        << "[org/gnome/shell]\nenabled-extensions=" << kExtensions << "\n";
}

Environment GnomeSession::UserEnv() const {
    Environment env = Environment::Clean();
    env.Set("HOME", user_ + "/home");
    env.Set("XDG_RUNTIME_DIR", user_ + "/runtime");
    env.Set("XDG_CONFIG_HOME", user_ + "/config");
    env.Set("GSETTINGS_BACKEND", "keyfile");
    env.Set("XDG_CURRENT_DESKTOP", "GNOME");
    env.Set("XDG_SESSION_TYPE", x11_ ? "x11" : "wayland");
    env.Set("XDG_SESSION_DESKTOP", "gnome");
    if (x_) {
        env.Set("DISPLAY", x_->Display());
    }
    if (!systemBus_.empty()) {
        env.Set("DBUS_SYSTEM_BUS_ADDRESS", systemBus_);
    }
    if (!sessionBus_.empty()) {
        env.Set("DBUS_SESSION_BUS_ADDRESS", sessionBus_);
    }
    return env;
}

std::string GnomeSession::StartBus(std::optional<Process>& bus, const std::string& name) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    SpawnOptions daemon;
    daemon.argv = AsUnprivileged({"dbus-daemon", "--config-file=" + dir_.Path() + "/bus.conf",
                                  "--nofork", "--nopidfile", "--print-address=3"});
    daemon.env = UserEnv().Entries();
    daemon.fd3 = fds[1];
    daemon.stderrPath = dir_.Path() + "/" + name + "-bus.log";
    bus.emplace(daemon);
    ::close(fds[1]);
    const std::string address = ReadFirstLine(fds[0], 10s);
    ::close(fds[0]);
    if (address.empty()) {
        throw std::runtime_error("the " + name + " bus did not come up, see " + daemon.stderrPath);
    }
    return address;
}

void GnomeSession::Start() {
    if (shell_) {
        return;
    }
    // The shell builds its screen shield only where logind's seat folder is
    // (it is there wherever systemd is installed, booted or not).
    if (!std::filesystem::is_directory(kSeats)) {
        std::error_code failed;
        madeSeats = std::filesystem::create_directories(kSeats, failed);
        if (!madeSeats) {
            throw std::runtime_error(std::string("GNOME Shell builds no screen shield without ") +
                                     kSeats + ", which cannot be made: " + failed.message());
        }
    }
    const auto began = std::chrono::steady_clock::now();
    const std::string n = std::to_string(++starts_);
    WriteSettings();
    HandToUnprivileged(user_);
    ::chmod((user_ + "/runtime").c_str(), 0700);

    if (x11_ && !x_) {
        x_ = std::make_unique<XSession>(false);
    }
    systemBus_ = StartBus(systemBusDaemon_, "system");
    sessionBus_ = StartBus(sessionBusDaemon_, "session");

    SpawnOptions manager;
    manager.argv = {WW_DISPLAY_MANAGER_STAND_IN_PATH};
    manager.env = UserEnv().Entries();
    manager.stdoutPath = dir_.Path() + "/display-manager.calls";
    manager.stderrPath = dir_.Path() + "/display-manager.log";
    displayManager_.emplace(manager);
    if (!WaitFor([&] { return ReadFile(manager.stdoutPath).starts_with("ready\n"); }, 10s)) {
        throw std::runtime_error("the display manager stand-in did not come up (" +
                                 displayManager_->Describe() +
                                 "): " + ReadFile(manager.stderrPath));
    }

    SpawnOptions session;
    session.argv =
        AsUnprivileged({"/usr/libexec/gnome-session-binary", "--builtin", "--session=wakewatch",
                        "--disable-acceleration-check", "--autostart=" + user_ + "/autostart"});
    session.env = UserEnv().Entries();
    session.stderrPath = dir_.Path() + "/gnome-session-" + n + ".log";
    session.stdoutPath = session.stderrPath + ".out";
    sessionManager_.emplace(session);
    // The shell asks for the session's presence as it builds its shield.
    if (!WaitFor(
            [&] {
                return Call({"--dest", "org.gnome.SessionManager", "--object-path",
                             "/org/gnome/SessionManager", "--method",
                             "org.gnome.SessionManager.IsSessionRunning"})
                           .out.find("true") != std::string::npos;
            },
            20s, 100ms)) {
        throw std::runtime_error("gnome-session did not come up (" + sessionManager_->Describe() +
                                 "), see " + session.stderrPath);
    }

    SpawnOptions shell;
    shell.argv = AsUnprivileged(x11_ ? std::vector<std::string>{"gnome-shell", "--x11", "--replace"}
                                     : std::vector<std::string>{"gnome-shell", "--headless",
                                                                "--wayland", "--no-x11",
                                                                "--virtual-monitor", "1024x768"});
    Environment shellEnv = UserEnv();
    shellEnv.Set("MUTTER_DEBUG_RESET_IDLETIME", "1");
    shell.env = shellEnv.Entries();
    shell.stderrPath = dir_.Path() + "/gnome-shell-" + n + ".log";
    shell.stdoutPath = shell.stderrPath + ".out";
    shell_.emplace(shell);
    if (!WaitFor(
            [&] {
                if (!shell_->Running()) {
                    return true;
                }
                return Call({"--dest", saver_, "--object-path", "/org/gnome/ScreenSaver",
                             "--method", "org.gnome.ScreenSaver.GetActive"})
                           .code == 0;
            },
            60s, 200ms) ||
        !shell_->Running()) {
        throw std::runtime_error(saver_ + " did not answer (gnome-shell " + shell_->Describe() +
                                 "), see " + shell.stderrPath);
    }
    startTime_ = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    waylandSocket_ = FindSocket(user_ + "/runtime", "wayland-");
    // Idle since the shell came up: the shield may be up already.
    UserActivity();
    if (!WaitFor([&] { return !SaverActive(); }, 10s, 100ms)) {
        throw std::runtime_error("the shield stayed up after user activity");
    }
    UserActivity();
}

void GnomeSession::Stop() {
    if (madeSeats) {
        std::error_code ignored;
        std::filesystem::remove(kSeats, ignored);
        madeSeats = false;
    }
    // The shell and the session manager end politely; a bus takes down with its group whatever it
    // started on demand.
    if (shell_) {
        shell_->Stop();
        shell_.reset();
    }
    if (sessionManager_) {
        const pid_t pid = sessionManager_->Pid();
        sessionManager_->Stop();
        sessionManager_.reset();
        // Its ICE socket, named after it, outlives it.
        std::error_code ignored;
        std::filesystem::remove("/tmp/.ICE-unix/" + std::to_string(pid), ignored);
    }
    displayManager_.reset();
    sessionBusDaemon_.reset();
    systemBusDaemon_.reset();
    sessionBus_.clear();
    systemBus_.clear();
}

Output GnomeSession::Call(const std::vector<std::string>& args) {
    SpawnOptions tool;
    tool.argv = {"gdbus", "call", "--session", "--timeout", "5"};
    tool.argv.insert(tool.argv.end(), args.begin(), args.end());
    tool.env = UserEnv().Entries();
    tool.stdoutPath = dir_.Path() + "/gdbus.out";
    tool.stderrPath = dir_.Path() + "/gdbus.log";
    return Capture(tool, 10s);
}

bool GnomeSession::SaverActive() {
    const Output answer = Call({"--dest", saver_, "--object-path", "/org/gnome/ScreenSaver",
                                "--method", "org.gnome.ScreenSaver.GetActive"});
    if (answer.code != 0) {
        throw std::runtime_error(saver_ + ".GetActive failed, see " + Dir() + "/gdbus.log");
    }
    return answer.out.starts_with("(true,)");
}

void GnomeSession::RequestSaverStart() {
    if (Call({"--dest", saver_, "--object-path", "/org/gnome/ScreenSaver", "--method",
              "org.gnome.ScreenSaver.SetActive", "true"})
            .code != 0) {
        throw std::runtime_error(saver_ + ".SetActive failed");
    }
}

void GnomeSession::SetIdleDelay(unsigned seconds) {
    idleDelay_ = seconds;
    if (!shell_) {
        return;  // written with the others at Start
    }
    // Through the settings backend, as the user's settings tool would.
    SpawnOptions tool;
    tool.argv = AsUnprivileged(
        {"gsettings", "set", "org.gnome.desktop.session", "idle-delay", std::to_string(seconds)});
    tool.env = UserEnv().Entries();
    tool.stdoutPath = dir_.Path() + "/gsettings.out";
    tool.stderrPath = dir_.Path() + "/gsettings.log";
    if (Capture(tool, 10s).code != 0) {
        throw std::runtime_error("gsettings set idle-delay failed, see " + tool.stderrPath);
    }
}

void GnomeSession::UserActivity() {
    if (Call({"--dest", "org.gnome.Mutter.IdleMonitor", "--object-path",
              "/org/gnome/Mutter/IdleMonitor/Core", "--method",
              "org.gnome.Mutter.IdleMonitor.ResetIdletime"})
            .code != 0) {
        throw std::runtime_error("org.gnome.Mutter.IdleMonitor.ResetIdletime failed");
    }
}

int GnomeSession::PresenceStatus() {
    // "(<uint32 3>,)"
    const Output answer = Call({"--dest", "org.gnome.SessionManager", "--object-path",
                                "/org/gnome/SessionManager/Presence", "--method",
                                "org.freedesktop.DBus.Properties.Get",
                                "org.gnome.SessionManager.Presence", "status"});
    const size_t at = answer.out.find("uint32 ");
    if (answer.code != 0 || at == std::string::npos) {
        throw std::runtime_error("gnome-session's presence did not answer");
    }
    return std::stoi(answer.out.substr(at + 7));
}

std::vector<std::string> GnomeSession::IdleInhibitors() {
    // "([objectpath '/org/gnome/SessionManager/Inhibitor12'],)" or "(@ao [],)"
    const Output list =
        Call({"--dest", "org.gnome.SessionManager", "--object-path", "/org/gnome/SessionManager",
              "--method", "org.gnome.SessionManager.GetInhibitors"});
    if (list.code != 0) {
        throw std::runtime_error("org.gnome.SessionManager.GetInhibitors failed");
    }
    std::vector<std::string> apps;
    const std::string prefix = "'/org/gnome/SessionManager/Inhibitor";
    for (size_t at = list.out.find(prefix); at != std::string::npos;
         at = list.out.find(prefix, at + 1)) {
        const std::string path = list.out.substr(at + 1, list.out.find('\'', at + 1) - at - 1);
        const auto ask = [&](const std::string& method) {
            return Call({"--dest", "org.gnome.SessionManager", "--object-path", path, "--method",
                         "org.gnome.SessionManager.Inhibitor." + method})
                .out;
        };
        // "(uint32 8,)", "('wakewatch',)"
        const std::string flags = ask("GetFlags");
        const size_t number = flags.find("uint32 ");
        if (number == std::string::npos || (std::stoul(flags.substr(number + 7)) & 8U) == 0) {
            continue;
        }
        const std::string app = ask("GetAppId");
        const size_t open = app.find('\'');
        apps.push_back(open == std::string::npos
                           ? app
                           : app.substr(open + 1, app.find('\'', open + 1) - open - 1));
    }
    return apps;
}

bool GnomeSession::TrayWatcherUp() {
    return Call({"--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                 "/StatusNotifierWatcher", "--method", "org.freedesktop.DBus.Properties.Get",
                 "org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered"})
               .out.find("true") != std::string::npos;
}

Environment GnomeSession::ProgramEnv(const std::string& traceName) const {
    Environment env = Environment::Clean();
    if (x_) {
        env.Set("DISPLAY", x_->Display());
    } else {
        env.Set("WAYLAND_DISPLAY", waylandSocket_);
    }
    env.Set("DBUS_SESSION_BUS_ADDRESS", sessionBus_);
    env.Set("DBUS_SYSTEM_BUS_ADDRESS", systemBus_);
    env.Set("XDG_CURRENT_DESKTOP", "GNOME");
    env.Set("XDG_SESSION_TYPE", x11_ ? "x11" : "wayland");
    env.Set("XDG_RUNTIME_DIR", dir_.Sub("runtime"));
    env.Set("XDG_CONFIG_HOME", dir_.Sub("config"));
    env.Set("XDG_CONFIG_DIRS", dir_.Sub("config-dirs"));
    env.Set("WAKEWATCH_TRACE", TracePath(traceName));
    env.Set("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

std::string GnomeSession::TracePath(const std::string& traceName) const {
    return dir_.Path() + "/" + traceName + ".trace";
}

}  // namespace ww::e2e
