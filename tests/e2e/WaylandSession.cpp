#include "tests/e2e/WaylandSession.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

constexpr uid_t kUnprivileged = 65534;

// The compositor's socket in its runtime directory ("wayland-1"); empty until there.
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

WaylandSession::WaylandSession(bool saverStandIn) {
    // sway runs as another user: it must pass through our directory to its own.
    ::chmod(dir_.Path().c_str(), 0711);
    swayRuntime_ = dir_.Sub("sway-runtime");
    if (::chown(swayRuntime_.c_str(), kUnprivileged, kUnprivileged) != 0) {
        throw std::runtime_error("cannot hand " + swayRuntime_ + " to the unprivileged user");
    }
    const std::string config = dir_.Path() + "/sway.config";
    {
        std::ofstream out(config);
        out << "xwayland disable\noutput HEADLESS-1 mode 1024x768 position 0 0\n";
    }
    ::chmod(config.c_str(), 0644);

    SpawnOptions sway;
    sway.argv = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "sway",
                 "-c",      config};
    Environment swayEnv = Environment::Clean();
    swayEnv.Set("XDG_RUNTIME_DIR", swayRuntime_);
    swayEnv.Set("HOME", swayRuntime_);
    swayEnv.Set("WLR_BACKENDS", "headless");
    swayEnv.Set("WLR_RENDERER", "pixman");
    swayEnv.Set("WLR_LIBINPUT_NO_DEVICES", "1");
    sway.env = swayEnv.Entries();
    sway.stderrPath = dir_.Path() + "/sway.log";
    sway_.emplace(sway);
    if (!WaitFor(
            [&] {
                waylandSocket_ = FindSocket(swayRuntime_, "wayland-");
                ipcSocket_ = FindSocket(swayRuntime_, "sway-ipc.");
                return !waylandSocket_.empty() && !ipcSocket_.empty();
            },
            15s)) {
        throw std::runtime_error("sway did not come up (" + sway_->Describe() + "), see " +
                                 sway.stderrPath);
    }

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    SpawnOptions bus;
    bus.argv = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"};
    bus.env = Environment::Clean().Entries();
    bus.fd3 = fds[1];
    bus_.emplace(bus);
    ::close(fds[1]);
    busAddress_ = ReadFirstLine(fds[0], 10s);
    ::close(fds[0]);
    if (busAddress_.empty()) {
        throw std::runtime_error("the private session bus did not come up");
    }

    if (saverStandIn) {
        SpawnOptions saver;
        saver.argv = {WW_SAVER_STAND_IN_PATH};
        Environment saverEnv = Environment::Clean();
        saverEnv.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
        saver.env = saverEnv.Entries();
        saver.stdoutPath = dir_.Path() + "/screensaver.calls";
        saver.stderrPath = dir_.Path() + "/screensaver.stderr";
        saver_.emplace(saver);
        WaitReady(*saver_, "the stand-in screen saver");
    }

    SpawnOptions pointer;
    pointer.argv = {WW_VIRTUAL_POINTER_PATH};
    Environment pointerEnv = Environment::Clean();
    pointerEnv.Set("WAYLAND_DISPLAY", waylandSocket_);
    pointer.env = pointerEnv.Entries();
    pointer.stdoutPath = dir_.Path() + "/pointer.stdout";
    pointer.stderrPath = dir_.Path() + "/pointer.stderr";
    pointer_.emplace(pointer);
    WaitReady(*pointer_, "the virtual pointer");
}

WaylandSession::~WaylandSession() {
    pointer_.reset();
    saver_.reset();
    bus_.reset();
    sway_.reset();
}

void WaylandSession::WaitReady(Process& process, const std::string& what) {
    if (!WaitFor([&] { return ReadFile(process.StdoutPath()).starts_with("ready\n"); }, 10s)) {
        throw std::runtime_error(what + " did not come up (" + process.Describe() +
                                 "): " + ReadFile(process.StderrPath()));
    }
}

Environment WaylandSession::ProgramEnv(const std::string& traceName) const {
    Environment env = Environment::Clean();
    env.Set("WAYLAND_DISPLAY", waylandSocket_);
    env.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    env.Set("XDG_RUNTIME_DIR", dir_.Sub("runtime"));
    env.Set("XDG_CONFIG_HOME", dir_.Sub("config"));
    env.Set("XDG_CONFIG_DIRS", dir_.Sub("config-dirs"));
    env.Set("WAKEWATCH_TRACE", TracePath(traceName));
    env.Set("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

std::string WaylandSession::TracePath(const std::string& traceName) const {
    return dir_.Path() + "/" + traceName + ".trace";
}

int WaylandSession::Swaymsg(const std::vector<std::string>& args,
                            const std::string& outPath) const {
    SpawnOptions tool;
    tool.argv = {"swaymsg", "-s", ipcSocket_};
    tool.argv.insert(tool.argv.end(), args.begin(), args.end());
    tool.env = Environment::Clean().Entries();
    tool.stdoutPath = outPath;
    tool.stderrPath = dir_.Path() + "/swaymsg.log";
    return RunToEnd(tool, 10s);
}

bool WaylandSession::MovePointer(int x, int y) {
    return Swaymsg({"seat", "seat0", "cursor", "set", std::to_string(x), std::to_string(y)}, {}) ==
           0;
}

std::string WaylandSession::Tree() const {
    const std::string out = dir_.Path() + "/tree.json";
    return Swaymsg({"-t", "get_tree", "-r"}, out) == 0 ? ReadFile(out) : std::string();
}

std::vector<std::string> WaylandSession::SaverCalls() const {
    std::vector<std::string> calls;
    if (!saver_) {
        return calls;
    }
    std::string text = ReadFile(saver_->StdoutPath());
    text.erase(text.rfind('\n') + 1);  // a line still being written waits
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line != "ready") {
            calls.push_back(line);
        }
    }
    return calls;
}

}  // namespace ww::e2e
