#include "tests/e2e/desktops/XscreensaverSession.h"

#include <sys/stat.h>

#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

XscreensaverSession::XscreensaverSession() : x_(std::make_unique<XSession>(false)) {
    // The unprivileged user must pass through our folder to its home.
    ::chmod(x_->Dir().Path().c_str(), 0711);
    home_ = x_->Dir().Sub("xscreensaver-home");
    // Ten minutes, xscreensaver's own default: nothing fires during a test
    // unless asked to.
    WriteSettings("0:10:00");
    HandToUnprivileged(home_);
}

XscreensaverSession::~XscreensaverSession() {
    Stop();
}

void XscreensaverSession::WriteSettings(const std::string& timeout) {
    // Blank only (no hacks to start, no fade to wait for), no lock, no splash.
    std::ofstream(home_ + "/.xscreensaver") << "timeout: " << timeout << "\n"
                                            << "mode: blank\nlock: False\nfade: False\n"
                                               "unfade: False\nsplash: False\n"
                                               "dpmsEnabled: False\n";
}

Environment XscreensaverSession::ToolEnv() const {
    Environment env = Environment::Clean();
    env.Set("DISPLAY", x_->Display());
    env.Set("HOME", home_);
    return env;
}

void XscreensaverSession::Start() {
    if (daemon_) {
        return;
    }
    SpawnOptions daemon;
    daemon.argv = AsUnprivileged({"xscreensaver", "-no-splash", "-verbose"});
    daemon.env = ToolEnv().Entries();
    daemon.stderrPath = Dir() + "/xscreensaver-" + std::to_string(++starts_) + ".log";
    daemon.stdoutPath = daemon.stderrPath + ".out";
    daemon_.emplace(daemon);
    // Ready once it answers its own command protocol (a property on its window).
    if (!WaitFor([&] { return Command("-time").code == 0; }, 15s, 100ms)) {
        throw std::runtime_error("xscreensaver did not come up (" + daemon_->Describe() +
                                 "), see " + daemon.stderrPath);
    }
}

void XscreensaverSession::Stop() {
    if (daemon_) {
        daemon_->Stop();
        daemon_.reset();
    }
}

Output XscreensaverSession::Command(const std::string& verb) {
    SpawnOptions tool;
    tool.argv = {"xscreensaver-command", verb};
    tool.env = ToolEnv().Entries();
    tool.stdoutPath = Dir() + "/xscreensaver-command.out";
    tool.stderrPath = Dir() + "/xscreensaver-command.log";
    return Capture(tool, 10s);
}

bool XscreensaverSession::SaverActive() {
    // "XScreenSaver 6.06: screen blanked since <date>" (or "locked since"),
    // "screen non-blanked since" when idle time is still counting.
    const Output answer = Command("-time");
    if (answer.code != 0) {
        throw std::runtime_error("xscreensaver-command -time failed: " + answer.out);
    }
    return answer.out.find(": screen blanked since") != std::string::npos ||
           answer.out.find(": screen locked since") != std::string::npos;
}

void XscreensaverSession::RequestSaverStart() {
    if (Command("-activate").code != 0) {
        throw std::runtime_error("xscreensaver-command -activate failed");
    }
}

void XscreensaverSession::ResetIdleTimer() {
    if (Command("-deactivate").code != 0) {
        throw std::runtime_error("xscreensaver-command -deactivate failed");
    }
}

void XscreensaverSession::SetIdleDelayToMinimum() {
    WriteSettings("0:00:05");
    if (daemon_) {
        Stop();
        Start();
    }
}

}  // namespace ww::e2e
