#include "tests/e2e/desktops/SessionManagerDesktop.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

const std::string kManager = "org.gnome.SessionManager";

// The number after the signature of a busctl answer ("u 3", "ao 2 /a /b").
int Count(const Output& answer) {
    std::istringstream in(answer.out);
    std::string signature;
    int count = -1;
    in >> signature >> count;
    return count;
}

}  // namespace

SessionManagerDesktop::SessionManagerDesktop(Names names)
    : names_(std::move(names)), desktop_(std::make_unique<UnprivilegedDesktop>()) {
    autostart_ = desktop_->X().Dir().Sub("autostart");
    HandToUnprivileged(autostart_);
}

SessionManagerDesktop::~SessionManagerDesktop() {
    Stop();
}

Environment SessionManagerDesktop::Env() const {
    Environment env = desktop_->DesktopEnv();
    env.Set("XDG_CURRENT_DESKTOP", names_.desktop);
    env.Set("GSETTINGS_BACKEND", "keyfile");
    return env;
}

Environment SessionManagerDesktop::ProgramEnv(const std::string& traceName) const {
    Environment env = desktop_->ProgramEnv(traceName);
    env.Set("XDG_CURRENT_DESKTOP", names_.desktop);
    return env;
}

void SessionManagerDesktop::WriteSettings(const std::string& keyfile) {
    const std::string folder = desktop_->Config() + "/glib-2.0/settings";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/keyfile") << keyfile;
    desktop_->HandBack();
    if (session_) {
        Stop();
        Start();
    }
}

void SessionManagerDesktop::Start() {
    if (session_) {
        return;
    }
    Nudge();  // the idle time counts from here, not from the server's start
    const std::string log = names_.session.front() + "-" + std::to_string(++starts_);
    std::vector<std::string> argv = names_.session;
    argv.insert(argv.end(), {"-a", autostart_});
    session_.emplace(desktop_->Spawn(log, argv, Env()));
    desktop_->WaitOwned(kManager, log, 20s);
    desktop_->WaitOwned(names_.saver, log, names_.saverUp);
    if (!WaitFor([&] { return Command("--query").code == 0; }, 10s, 100ms)) {
        throw std::runtime_error(names_.command + " --query has no answer, see " + Dir() + "/" +
                                 log + ".log");
    }
}

void SessionManagerDesktop::Stop() {
    session_.reset();  // with its group: the saver goes too
}

Output SessionManagerDesktop::Command(const std::string& verb) {
    SpawnOptions tool;
    tool.argv = {names_.command, verb};
    tool.env = Env().Entries();
    tool.stdoutPath = Dir() + "/" + names_.command + ".out";
    tool.stderrPath = Dir() + "/" + names_.command + ".log";
    return Capture(tool, 10s);
}

bool SessionManagerDesktop::SaverActive() {
    const Output answer =
        desktop_->Busctl({"call", names_.saver, names_.saverPath, names_.saver, "GetActive"});
    if (answer.code != 0) {
        throw std::runtime_error("GetActive on " + names_.saver + " failed: " + answer.out);
    }
    return answer.out.starts_with("b true");
}

void SessionManagerDesktop::RequestSaverStart() {
    if (Command("--activate").code != 0) {
        throw std::runtime_error(names_.command + " --activate failed");
    }
}

void SessionManagerDesktop::Deactivate() {
    if (Command("--deactivate").code != 0) {
        throw std::runtime_error(names_.command + " --deactivate failed");
    }
}

int SessionManagerDesktop::PresenceStatus() {
    return Count(desktop_->Busctl({"get-property", kManager, "/org/gnome/SessionManager/Presence",
                                   kManager + ".Presence", "status"}));
}

int SessionManagerDesktop::Inhibitors() {
    return Count(desktop_->Busctl(
        {"call", kManager, "/org/gnome/SessionManager", kManager, "GetInhibitors"}));
}

void SessionManagerDesktop::Nudge() {
    const int x = 300 + (++nudges_ % 2);
    desktop_->X().Xdotool({"mousemove", std::to_string(x), "300"});
}

}  // namespace ww::e2e
