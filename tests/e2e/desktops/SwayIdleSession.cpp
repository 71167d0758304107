#include "tests/e2e/desktops/SwayIdleSession.h"

#include <signal.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

// swayidle is the session's saver: no stand-in beside it.
SwayIdleSession::SwayIdleSession() : wayland_(std::make_unique<WaylandSession>(false)) {
    statePath_ = Dir() + "/swayidle.state";
}

SwayIdleSession::~SwayIdleSession() {
    Stop();
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
                 "echo resumed >> '" + statePath_ + "'"};
    Environment env = wayland_->ProgramEnv("swayidle");
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

int SwayIdleSession::IdleCount() const {
    std::istringstream in(ReadFile(statePath_));
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        count += line == "idle" ? 1 : 0;
    }
    return count;
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
