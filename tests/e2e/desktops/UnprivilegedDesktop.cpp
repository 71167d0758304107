#include "tests/e2e/desktops/UnprivilegedDesktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

// The ordinary session bus, open to every user: the desktop runs as the
// unprivileged user, the test and the program under test as root.
constexpr const char* kBusConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <include>/usr/share/dbus-1/session.conf</include>\n"
    "  <policy context=\"default\"><allow user=\"*\"/></policy>\n"
    "</busconfig>\n";

}  // namespace

UnprivilegedDesktop::UnprivilegedDesktop() : x_(std::make_unique<XSession>(false)) {
    TempDir& dir = x_->Dir();
    // The unprivileged user must pass through our folder to its own.
    ::chmod(dir.Path().c_str(), 0711);
    home_ = dir.Sub("home");
    config_ = home_ + "/.config";
    ::mkdir(config_.c_str(), 0700);
    runtime_ = dir.Sub("desktop-runtime");
    HandToUnprivileged(home_);
    HandToUnprivileged(runtime_);
    const std::string config = dir.Path() + "/bus.conf";
    std::ofstream(config) << kBusConfig;
    ::chmod(config.c_str(), 0644);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    SpawnOptions bus;
    bus.argv = AsUnprivileged({"dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile",
                               "--print-address=3", "--address=unix:path=" + runtime_ + "/bus"});
    // The services it starts on demand (xfconfd, kglobalaccel5, gvfsd...)
    // get its environment: the desktop's own.
    Environment env = Environment::Clean();
    env.Set("DISPLAY", x_->Display());
    env.Set("HOME", home_);
    env.Set("XDG_RUNTIME_DIR", runtime_);
    env.Set("XDG_CONFIG_HOME", config_);
    bus.env = env.Entries();
    bus.stderrPath = dir.Path() + "/dbus-daemon.log";
    bus.fd3 = fds[1];
    try {
        bus_.emplace(bus);
    } catch (...) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw;
    }
    ::close(fds[1]);
    const std::string address = ReadFirstLine(fds[0], 10s);
    ::close(fds[0]);
    if (address.empty()) {
        throw std::runtime_error("dbus-daemon printed no address, see " + bus.stderrPath);
    }
    busAddress_ = address;
}

UnprivilegedDesktop::~UnprivilegedDesktop() {
    bus_.reset();  // with its group: the services it started
    x_.reset();
}

Environment UnprivilegedDesktop::DesktopEnv() const {
    Environment env = Environment::Clean();
    env.Set("DISPLAY", x_->Display());
    env.Set("HOME", home_);
    env.Set("XDG_RUNTIME_DIR", runtime_);
    env.Set("XDG_CONFIG_HOME", config_);
    env.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    return env;
}

Environment UnprivilegedDesktop::ProgramEnv(const std::string& traceName) const {
    Environment env = x_->ProgramEnv(traceName);
    env.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    return env;
}

Process UnprivilegedDesktop::Spawn(const std::string& log, const std::vector<std::string>& argv,
                                   const Environment& env) const {
    SpawnOptions options;
    options.argv = AsUnprivileged(argv);
    options.env = env.Entries();
    options.stderrPath = x_->Dir().Path() + "/" + log + ".log";
    options.stdoutPath = options.stderrPath + ".out";
    return Process(options);
}

Output UnprivilegedDesktop::Busctl(const std::vector<std::string>& args) const {
    SpawnOptions tool;
    tool.argv = {"busctl", "--user"};
    tool.argv.insert(tool.argv.end(), args.begin(), args.end());
    Environment env = Environment::Clean();
    env.Set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
    tool.env = env.Entries();
    tool.stdoutPath = x_->Dir().Path() + "/busctl.out";
    tool.stderrPath = x_->Dir().Path() + "/busctl.log";
    return Capture(tool, 10s);
}

bool UnprivilegedDesktop::Owned(const std::string& name) const {
    const Output answer = Busctl({"call", "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                  "org.freedesktop.DBus", "NameHasOwner", "s", name});
    return answer.code == 0 && answer.out.starts_with("b true");
}

void UnprivilegedDesktop::WaitOwned(const std::string& name, const std::string& log,
                                    std::chrono::milliseconds timeout) const {
    if (!WaitFor([&] { return Owned(name); }, timeout, 100ms)) {
        throw std::runtime_error(name + " did not come on the bus, see " + x_->Dir().Path() + "/" +
                                 log + ".log");
    }
}

void UnprivilegedDesktop::HandBack() const {
    HandToUnprivileged(home_);
}

}  // namespace ww::e2e
