#include "tests/e2e/desktops/MateSession.h"

#include <filesystem>

namespace ww::e2e {

MateSession::MateSession()
    : SessionManagerDesktop({.desktop = "MATE",
                             .session = {"mate-session"},
                             .saver = "org.mate.ScreenSaver",
                             .saverPath = "/org/mate/ScreenSaver",
                             .command = "mate-screensaver-command",
                             .saverUp = std::chrono::seconds(20)}) {
    // mate-screensaver's own entry, as the package installs it.
    std::filesystem::copy_file("/etc/xdg/autostart/mate-screensaver.desktop",
                               Autostart() + "/mate-screensaver.desktop");
    HandToUnprivileged(Autostart());
    // The shipped default.
    WriteSettings(5);
}

void MateSession::WriteSettings(int idleMinutes) {
    // No window manager, panel or file manager to wait for; a blank screen
    // without a lock, so a deactivation takes it down.
    SessionManagerDesktop::WriteSettings(
        "[org/mate/desktop/session]\nidle-delay=" + std::to_string(idleMinutes) +
        "\n"
        "required-components-list=@as []\n"
        "default-session=@as []\n"
        "gnome-compat-startup=@as []\n\n"
        "[org/mate/screensaver]\n"
        "lock-enabled=false\n"
        "mode='blank-only'\n");
}

}  // namespace ww::e2e
