#include "tests/e2e/desktops/CinnamonSession.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

constexpr const char* kSessionName = "wakewatch-test";

void Write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

}  // namespace

CinnamonSession::CinnamonSession() : x_(std::make_unique<XSession>(false)) {
    home_ = x_->Dir().Sub("cinnamon-home");
    // The session's two components, started as the stock session starts them.
    Write(home_ + "/.config/cinnamon-session/sessions/" + kSessionName + ".session",
          "[Cinnamon Session]\nName=Wakewatch test\n"
          "RequiredComponents=wakewatch-test-cinnamon;org.cinnamon.ScreenSaver;\n"
          "DesktopName=X-Cinnamon\n");
    Write(home_ + "/.local/share/applications/wakewatch-test-cinnamon.desktop",
          "[Desktop Entry]\nType=Application\nName=Cinnamon\nExec=cinnamon --replace\n"
          "X-GNOME-Autostart-Phase=WindowManager\nX-GNOME-Provides=panel;windowmanager;\n"
          "X-GNOME-Autostart-Notify=true\n");
    std::filesystem::create_directories(home_ + "/autostart");
    // Ten minutes before idle, so nothing fires unless asked; no lock (nobody
    // could type the password), no logind to ask.
    Write(home_ + "/.config/glib-2.0/settings/keyfile",
          "[org/cinnamon/desktop/session]\nidle-delay=uint32 600\n"
          "session-manager-uses-logind=false\nsettings-daemon-uses-logind=false\n\n"
          "[org/cinnamon/desktop/screensaver]\nlock-enabled=false\n");
    std::filesystem::create_directories(home_ + "/runtime");
    std::filesystem::permissions(home_ + "/runtime", std::filesystem::perms::owner_all);
}

CinnamonSession::~CinnamonSession() {
    Stop();
}

Environment CinnamonSession::SessionEnv() const {
    Environment env = Environment::Clean();
    env.Set("DISPLAY", x_->Display());
    env.Set("HOME", home_);
    env.Set("XDG_CONFIG_HOME", home_ + "/.config");
    env.Set("XDG_DATA_HOME", home_ + "/.local/share");
    env.Set("XDG_RUNTIME_DIR", home_ + "/runtime");
    env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    env.Set("GSETTINGS_BACKEND", "keyfile");
    env.Set("LIBGL_ALWAYS_SOFTWARE", "1");
    // Nothing here needs the accessibility bus or gvfs: fewer processes.
    env.Set("NO_AT_BRIDGE", "1");
    env.Set("GIO_USE_VFS", "local");
    if (!busAddress_.empty()) {
        env.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    }
    return env;
}

Environment CinnamonSession::ProgramEnv(const std::string& traceName) const {
    Environment env = SessionEnv();
    env.Set("WAKEWATCH_TRACE", x_->TracePath(traceName));
    env.Set("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

Output CinnamonSession::Tool(std::vector<std::string> argv) {
    SpawnOptions tool;
    tool.argv = std::move(argv);
    tool.env = SessionEnv().Entries();
    tool.stdoutPath = Dir() + "/cinnamon-tool.out";
    tool.stderrPath = Dir() + "/cinnamon-tool.log";
    return Capture(tool, 10s);
}

Output CinnamonSession::Call(const std::string& method, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"gdbus",
                                     "call",
                                     "--session",
                                     "--dest",
                                     "org.cinnamon.ScreenSaver",
                                     "--object-path",
                                     "/org/cinnamon/ScreenSaver",
                                     "--method",
                                     "org.cinnamon.ScreenSaver." + method};
    argv.insert(argv.end(), args.begin(), args.end());
    return Tool(argv);
}

void CinnamonSession::Start() {
    if (session_) {
        return;
    }
    ++starts_;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    SpawnOptions bus;
    // At the runtime folder's standard place: cinnamon-screensaver ends after
    // 30 s inactive and is started again by the bus, and what the bus starts
    // finds it there.
    bus.argv = {"dbus-daemon",
                "--session",
                "--nofork",
                "--nopidfile",
                "--address=unix:path=" + home_ + "/runtime/bus",
                "--print-address=3"};
    bus.env = SessionEnv().Entries();
    bus.fd3 = fds[1];
    bus.stderrPath = Dir() + "/cinnamon-bus-" + std::to_string(starts_) + ".log";
    bus_.emplace(bus);
    ::close(fds[1]);
    busAddress_ = ReadFirstLine(fds[0], 10s);
    ::close(fds[0]);
    if (busAddress_.empty()) {
        throw std::runtime_error("the private session bus did not come up");
    }

    SpawnOptions session;
    session.argv = {"cinnamon-session", std::string("--session=") + kSessionName,
                    "--autostart=" + home_ + "/autostart"};
    session.env = SessionEnv().Entries();
    session.stderrPath = Dir() + "/cinnamon-session-" + std::to_string(starts_) + ".log";
    session.stdoutPath = session.stderrPath + ".out";
    session_.emplace(session);
    // Up once the shell owns the tray, the saver answers and the session
    // manager reports its presence.
    const bool up = WaitFor(
        [&] {
            return x_->Probe().TraySelectionOwner() != 0 && Call("GetActive").code == 0 &&
                   PresenceStatus() >= 0;
        },
        40s, 250ms);
    if (!up) {
        throw std::runtime_error("Cinnamon did not come up (" + session_->Describe() + "), see " +
                                 session.stderrPath);
    }
    Nudge();
}

void CinnamonSession::Stop() {
    // The session's components are in its process group, bus-started services
    // in the bus's: both groups go with their leaders.
    session_.reset();
    bus_.reset();
    busAddress_.clear();
}

int CinnamonSession::PresenceStatus() {
    const Output answer = Tool({"gdbus", "call", "--session", "--dest", "org.gnome.SessionManager",
                                "--object-path", "/org/gnome/SessionManager/Presence", "--method",
                                "org.freedesktop.DBus.Properties.Get",
                                "org.gnome.SessionManager.Presence", "status"});
    // "(<uint32 3>,)"
    const size_t at = answer.out.find("uint32 ");
    if (answer.code != 0 || at == std::string::npos) {
        return -1;
    }
    return std::atoi(answer.out.c_str() + at + 7);
}

bool CinnamonSession::SaverOnBus() {
    const Output answer = Tool({"gdbus", "call", "--session", "--dest", "org.freedesktop.DBus",
                                "--object-path", "/org/freedesktop/DBus", "--method",
                                "org.freedesktop.DBus.NameHasOwner", "org.cinnamon.ScreenSaver"});
    return answer.out.find("(true,)") != std::string::npos;
}

bool CinnamonSession::SaverActive() {
    const Output answer = Call("GetActive");
    if (answer.code != 0) {
        throw std::runtime_error("org.cinnamon.ScreenSaver.GetActive failed: " + answer.out);
    }
    return answer.out.find("(true,)") != std::string::npos;
}

void CinnamonSession::RequestSaverStart() {
    if (Call("SetActive", {"true"}).code != 0) {
        throw std::runtime_error("org.cinnamon.ScreenSaver.SetActive failed");
    }
}

void CinnamonSession::SetIdleDelayTo(unsigned seconds) {
    if (Tool({"gsettings", "set", "org.cinnamon.desktop.session", "idle-delay",
              std::to_string(seconds)})
            .code != 0) {
        throw std::runtime_error("gsettings could not set the idle delay");
    }
    // The idle alarm fires when the idle time crosses the delay, never when
    // it is past it already: start counting from now.
    if (session_) {
        Nudge();
    }
}

void CinnamonSession::Nudge() {
    const int x = 400 + (++nudges_ % 2) * 10;
    x_->Xdotool({"mousemove", std::to_string(x), "300"});
}

XWindow CinnamonSession::DockedIconOf(pid_t pid) const {
    XProbe& probe = x_->Probe();
    const std::vector<XWindow> tops = probe.TopLevelsOf(pid);
    for (XWindow w : probe.Descendants(probe.Root())) {
        const auto owner = probe.Pid(w);
        if (!owner || *owner != pid || !probe.Viewable(w) ||
            std::find(tops.begin(), tops.end(), w) != tops.end()) {
            continue;
        }
        const auto place = probe.RootGeometry(w);
        if (place && place->width <= 64 && place->height <= 64) {
            return w;
        }
    }
    return 0;
}

}  // namespace ww::e2e
