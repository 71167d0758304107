#include "tests/e2e/desktops/CinnamonSaverSession.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

const std::string kSaver = "org.cinnamon.ScreenSaver";
const std::string kManager = "org.gnome.SessionManager";
const std::string kSessionName = "wakewatch-test";

// The number after the signature of a busctl answer ("u 3", "ao 2 /a /b").
int Count(const Output& answer) {
    std::istringstream in(answer.out);
    std::string signature;
    int count = -1;
    in >> signature >> count;
    return count;
}

}  // namespace

CinnamonSaverSession::CinnamonSaverSession() : desktop_(std::make_unique<UnprivilegedDesktop>()) {
    // No autostart entries at all: the session's one component is the saver.
    autostart_ = desktop_->X().Dir().Sub("cinnamon-autostart");
    HandToUnprivileged(autostart_);
    const std::string sessions = desktop_->Config() + "/cinnamon-session/sessions";
    std::filesystem::create_directories(sessions);
    std::ofstream(sessions + "/" + kSessionName + ".session")
        << "[Cinnamon Session]\nName=" << kSessionName
        << "\nRequiredComponents=org.cinnamon.ScreenSaver;\nDesktopName=X-Cinnamon\n";
    // The shipped default: ten minutes.
    WriteSettings(600);
}

CinnamonSaverSession::~CinnamonSaverSession() {
    Stop();
}

Environment CinnamonSaverSession::Env() const {
    Environment env = desktop_->DesktopEnv();
    env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    env.Set("GSETTINGS_BACKEND", "keyfile");
    return env;
}

Environment CinnamonSaverSession::ProgramEnv(const std::string& traceName) const {
    Environment env = desktop_->ProgramEnv(traceName);
    env.Set("XDG_CURRENT_DESKTOP", "X-Cinnamon");
    return env;
}

void CinnamonSaverSession::WriteSettings(int idleSeconds) {
    const std::string folder = desktop_->Config() + "/glib-2.0/settings";
    std::filesystem::create_directories(folder);
    // A blank screen without a lock, so a deactivation takes it down.
    std::ofstream(folder + "/keyfile") << "[org/cinnamon/desktop/session]\n"
                                       << "idle-delay=uint32 " << idleSeconds << "\n\n"
                                       << "[org/cinnamon/desktop/screensaver]\n"
                                          "lock-enabled=false\n";
    desktop_->HandBack();
}

void CinnamonSaverSession::Start() {
    if (session_) {
        return;
    }
    Nudge();  // the idle time counts from here, not from the server's start
    const std::string log = "cinnamon-session-" + std::to_string(++starts_);
    session_.emplace(desktop_->Spawn(
        log, {"cinnamon-session", "--session=" + kSessionName, "-a", autostart_}, Env()));
    desktop_->WaitOwned(kManager, log, 20s);
    desktop_->WaitOwned(kSaver, log, 30s);
    if (!WaitFor([&] { return Command("--query").code == 0; }, 10s, 100ms)) {
        throw std::runtime_error("cinnamon-screensaver does not answer, see " + Dir() + "/" + log +
                                 ".log");
    }
}

void CinnamonSaverSession::Stop() {
    session_.reset();  // with its group: cinnamon-screensaver goes too
}

Output CinnamonSaverSession::Command(const std::string& verb) {
    SpawnOptions tool;
    tool.argv = {"cinnamon-screensaver-command", verb};
    tool.env = Env().Entries();
    tool.stdoutPath = Dir() + "/cinnamon-screensaver-command.out";
    tool.stderrPath = Dir() + "/cinnamon-screensaver-command.log";
    return Capture(tool, 10s);
}

bool CinnamonSaverSession::SaverActive() {
    const Output answer =
        desktop_->Busctl({"call", kSaver, "/org/cinnamon/ScreenSaver", kSaver, "GetActive"});
    if (answer.code != 0) {
        throw std::runtime_error("GetActive on cinnamon-screensaver failed: " + answer.out);
    }
    return answer.out.starts_with("b true");
}

void CinnamonSaverSession::RequestSaverStart() {
    if (Command("--activate").code != 0) {
        throw std::runtime_error("cinnamon-screensaver-command --activate failed");
    }
}

void CinnamonSaverSession::Deactivate() {
    if (Command("--deactivate").code != 0) {
        throw std::runtime_error("cinnamon-screensaver-command --deactivate failed");
    }
}

int CinnamonSaverSession::PresenceStatus() {
    return Count(desktop_->Busctl({"get-property", kManager, "/org/gnome/SessionManager/Presence",
                                   kManager + ".Presence", "status"}));
}

int CinnamonSaverSession::Inhibitors() {
    return Count(desktop_->Busctl(
        {"call", kManager, "/org/gnome/SessionManager", kManager, "GetInhibitors"}));
}

void CinnamonSaverSession::SetIdleDelayToMinimum() {
    SetIdleDelay(1);
}

void CinnamonSaverSession::SetIdleDelay(int seconds) {
    WriteSettings(seconds);
    if (session_) {
        Stop();
        Start();
    }
}

void CinnamonSaverSession::Nudge() {
    const int x = 300 + (++nudges_ % 2);
    desktop_->X().Xdotool({"mousemove", std::to_string(x), "300"});
}

}  // namespace ww::e2e
