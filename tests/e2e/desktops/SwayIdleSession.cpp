#include "tests/e2e/desktops/SwayIdleSession.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

// swayidle is the session's saver: no stand-in beside it.
SwayIdleSession::SwayIdleSession() : wayland_(std::make_unique<WaylandSession>(false)) {
    statePath_ = Dir() + "/swayidle.state";
}

void SwayIdleSession::Start() {
    if (idle_) {
        return;
    }
    std::ofstream(statePath_, std::ios::trunc).flush();
    const std::string log = Dir() + "/swayidle-" + std::to_string(++starts_) + ".log";
    SpawnOptions idle;
    idle.argv = {"swayidle",
                 "-d",
                 "timeout",
                 std::to_string(timeoutSeconds_),
                 "echo idle >> '" + statePath_ + "'",
                 "resume",
                 "echo resumed >> '" + statePath_ + "'",
                 "lock",
                 "echo locked >> '" + statePath_ + "'"};
    Environment env = wayland_->ProgramEnv("swayidle");
    env.Set("DBUS_SYSTEM_BUS_ADDRESS",
            systemBus_.empty() ? "unix:path=" + Dir() + "/no-system-bus" : systemBus_);
    idle.env = env.Entries();
    idle.stderrPath = log;
    idle.stdoutPath = log + ".out";
    idle_.emplace(idle);
    // swayidle -d says when it has bound the compositor's idle protocol and
    // registered the timeout; before that, SIGUSR1 would find nothing to run.
    if (!WaitFor(
            [&] { return ReadFile(log).find("Register idle timeout at") != std::string::npos; },
            10s)) {
        throw std::runtime_error("swayidle did not come up (" + idle_->Describe() + "), see " +
                                 log);
    }
}

void SwayIdleSession::Stop() {
    if (idle_) {
        idle_->Stop();
        idle_.reset();
    }
}

SwayIdleSession::~SwayIdleSession() {
    Stop();
    login_.reset();
    systemBusDaemon_.reset();
}

bool SwayIdleSession::SaverActive() {
    if (!idle_ || !idle_->Running()) {
        throw std::runtime_error("swayidle is not running");
    }
    std::istringstream in(ReadFile(statePath_));
    std::string line, last;
    while (std::getline(in, line)) {
        last = line;
    }
    return last == "idle";
}

namespace {

int LinesReading(const std::string& path, const std::string& text) {
    std::istringstream in(ReadFile(path));
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line == text ? 1 : 0;
    }
    return count;
}

}  // namespace

int SwayIdleSession::IdleCount() const {
    return LinesReading(statePath_, "idle");
}

int SwayIdleSession::LockCount() const {
    return LinesReading(statePath_, "locked");
}

void SwayIdleSession::WithLoginSession() {
    if (login_) {
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    // A bus of the session kind: anyone here may own any name on it.
    SpawnOptions daemon;
    daemon.argv = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"};
    daemon.env = Environment::Clean().Entries();
    daemon.fd3 = fds[1];
    daemon.stderrPath = Dir() + "/system-bus.log";
    systemBusDaemon_.emplace(daemon);
    ::close(fds[1]);
    systemBus_ = ReadFirstLine(fds[0], 10s);
    ::close(fds[0]);
    if (systemBus_.empty()) {
        throw std::runtime_error("the system bus did not come up, see " + daemon.stderrPath);
    }
    SpawnOptions login;
    login.argv = {WW_LOGIN_STAND_IN_PATH};
    Environment env = Environment::Clean();
    env.Set("DBUS_SYSTEM_BUS_ADDRESS", systemBus_);
    login.env = env.Entries();
    login.stdoutPath = Dir() + "/login.calls";
    login.stderrPath = Dir() + "/login.log";
    login_.emplace(login);
    if (!WaitFor([&] { return LoginCalls().starts_with("ready\n"); }, 10s)) {
        throw std::runtime_error("the logind stand-in did not come up (" + login_->Describe() +
                                 "): " + ReadFile(login.stderrPath));
    }
}

std::string SwayIdleSession::LoginCalls() const {
    return ReadFile(Dir() + "/login.calls");
}

void SwayIdleSession::RequestSaverStart() {
    if (!idle_) {
        throw std::runtime_error("swayidle is not running");
    }
    idle_->Signal(SIGUSR1);
}

void SwayIdleSession::SetIdleDelayToMinimum() {
    timeoutSeconds_ = 1;
    if (idle_) {
        Stop();
        Start();
    }
}

}  // namespace ww::e2e
