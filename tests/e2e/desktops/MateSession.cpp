#include "tests/e2e/desktops/MateSession.h"

#include <csignal>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

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

void MateSession::StartPanel() {
    if (panel_) {
        return;
    }
    if (!activationEnvironmentSet_) {
        Process update = Desktop().Spawn("dbus-update-activation-environment",
                                         {"dbus-update-activation-environment", "--all"}, Env());
        if (!update.WaitExit(10s) || update.ExitCode() != 0) {
            throw std::runtime_error("dbus-update-activation-environment: " + update.Describe());
        }
        activationEnvironmentSet_ = true;
    }
    const std::string log = "mate-panel-" + std::to_string(++panels_);
    panel_.emplace(Desktop().Spawn(log, {"mate-panel"}, Env()));
    Desktop().WaitOwned("org.kde.StatusNotifierWatcher", log, 30s);
}

void MateSession::KillPanel() {
    if (panel_) {
        panel_->Signal(SIGKILL);
        panel_->WaitExit(10s);
        panel_.reset();
    }
    // The notification area runs as an applet process of its own, started by
    // the bus outside the panel's group: found by the watcher's connection.
    const Output owner = Desktop().Busctl({"call", "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus", "GetConnectionUnixProcessID",
                                           "s", "org.kde.StatusNotifierWatcher"});
    std::istringstream answer(owner.out);
    std::string signature;
    pid_t applet = 0;
    if (owner.code == 0 && answer >> signature >> applet && applet > 1) {
        ::kill(applet, SIGKILL);
    }
    WaitFor([&] { return !Desktop().Owned("org.kde.StatusNotifierWatcher"); }, 10s, 100ms);
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
