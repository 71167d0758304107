#include "tests/e2e/desktops/MateSession.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

const std::string kSaver = "org.mate.ScreenSaver";
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

MateSession::MateSession() : desktop_(std::make_unique<UnprivilegedDesktop>()) {
    autostart_ = desktop_->X().Dir().Sub("mate-autostart");
    // mate-screensaver's own entry, as the package installs it.
    std::filesystem::copy_file("/etc/xdg/autostart/mate-screensaver.desktop",
                               autostart_ + "/mate-screensaver.desktop");
    HandToUnprivileged(autostart_);
    // The shipped default.
    WriteSettings(5);
}

MateSession::~MateSession() {
    Stop();
}

Environment MateSession::Env() const {
    Environment env = desktop_->DesktopEnv();
    env.Set("XDG_CURRENT_DESKTOP", "MATE");
    env.Set("GSETTINGS_BACKEND", "keyfile");
    return env;
}

Environment MateSession::ProgramEnv(const std::string& traceName) const {
    Environment env = desktop_->ProgramEnv(traceName);
    env.Set("XDG_CURRENT_DESKTOP", "MATE");
    return env;
}

void MateSession::WriteSettings(int idleMinutes) {
    const std::string folder = desktop_->Config() + "/glib-2.0/settings";
    std::filesystem::create_directories(folder);
    // No window manager, panel or file manager to wait for; a blank screen
    // without a lock, so a deactivation takes it down.
    std::ofstream(folder + "/keyfile") << "[org/mate/desktop/session]\n"
                                       << "idle-delay=" << idleMinutes << "\n"
                                       << "required-components-list=@as []\n"
                                          "default-session=@as []\n"
                                          "gnome-compat-startup=@as []\n\n"
                                          "[org/mate/screensaver]\n"
                                          "lock-enabled=false\n"
                                          "mode='blank-only'\n";
    desktop_->HandBack();
}

void MateSession::Start() {
    if (session_) {
        return;
    }
    Nudge();  // the idle time counts from here, not from the server's start
    const std::string log = "mate-session-" + std::to_string(++starts_);
    session_.emplace(desktop_->Spawn(log, {"mate-session", "-a", autostart_}, Env()));
    desktop_->WaitOwned(kManager, log, 20s);
    desktop_->WaitOwned(kSaver, log, 20s);
    if (!WaitFor([&] { return Command("--query").code == 0; }, 10s, 100ms)) {
        throw std::runtime_error("mate-screensaver does not answer, see " + Dir() + "/" + log +
                                 ".log");
    }
}

void MateSession::Stop() {
    session_.reset();  // with its group: mate-screensaver goes too
}

Output MateSession::Command(const std::string& verb) {
    SpawnOptions tool;
    tool.argv = {"mate-screensaver-command", verb};
    tool.env = Env().Entries();
    tool.stdoutPath = Dir() + "/mate-screensaver-command.out";
    tool.stderrPath = Dir() + "/mate-screensaver-command.log";
    return Capture(tool, 10s);
}

bool MateSession::SaverActive() {
    const Output answer =
        desktop_->Busctl({"call", kSaver, "/org/mate/ScreenSaver", kSaver, "GetActive"});
    if (answer.code != 0) {
        throw std::runtime_error("GetActive on mate-screensaver failed: " + answer.out);
    }
    return answer.out.starts_with("b true");
}

void MateSession::RequestSaverStart() {
    if (Command("--activate").code != 0) {
        throw std::runtime_error("mate-screensaver-command --activate failed");
    }
}

void MateSession::Deactivate() {
    if (Command("--deactivate").code != 0) {
        throw std::runtime_error("mate-screensaver-command --deactivate failed");
    }
}

int MateSession::PresenceStatus() {
    return Count(desktop_->Busctl({"get-property", kManager, "/org/gnome/SessionManager/Presence",
                                   kManager + ".Presence", "status"}));
}

int MateSession::Inhibitors() {
    return Count(desktop_->Busctl(
        {"call", kManager, "/org/gnome/SessionManager", kManager, "GetInhibitors"}));
}

void MateSession::SetIdleDelayToMinimum() {
    WriteSettings(1);
    if (session_) {
        Stop();
        Start();
    }
}

void MateSession::Nudge() {
    const int x = 300 + (++nudges_ % 2);
    desktop_->X().Xdotool({"mousemove", std::to_string(x), "300"});
}

}  // namespace ww::e2e
