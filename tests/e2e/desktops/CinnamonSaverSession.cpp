#include "tests/e2e/desktops/CinnamonSaverSession.h"

#include <filesystem>
#include <fstream>

namespace ww::e2e {

namespace {

const std::string kSessionName = "wakewatch-test";

}  // namespace

CinnamonSaverSession::CinnamonSaverSession()
    : SessionManagerDesktop({.desktop = "X-Cinnamon",
                             .session = {"cinnamon-session", "--session=" + kSessionName},
                             .saver = "org.cinnamon.ScreenSaver",
                             .saverPath = "/org/cinnamon/ScreenSaver",
                             .command = "cinnamon-screensaver-command",
                             .saverUp = std::chrono::seconds(30)}) {
    // No autostart entries at all: the session's one component is the saver.
    const std::string sessions = Desktop().Config() + "/cinnamon-session/sessions";
    std::filesystem::create_directories(sessions);
    std::ofstream(sessions + "/" + kSessionName + ".session")
        << "[Cinnamon Session]\nName=" << kSessionName
        << "\nRequiredComponents=org.cinnamon.ScreenSaver;\nDesktopName=X-Cinnamon\n";
    // The shipped default: ten minutes.
    SetIdleDelay(600);
}

void CinnamonSaverSession::SetIdleDelay(int seconds) {
    // A blank screen without a lock, so a deactivation takes it down.
    WriteSettings("[org/cinnamon/desktop/session]\nidle-delay=uint32 " + std::to_string(seconds) +
                  "\n\n[org/cinnamon/desktop/screensaver]\nlock-enabled=false\n");
}

}  // namespace ww::e2e
