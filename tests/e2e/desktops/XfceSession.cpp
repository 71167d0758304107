#include "tests/e2e/desktops/XfceSession.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

// One panel along the bottom edge holding the Status Tray alone.
constexpr const char* kPanelChannel = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=10;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
)";

}  // namespace

XfceSession::XfceSession() : desktop_(std::make_unique<UnprivilegedDesktop>()) {
    const std::string channels = desktop_->Config() + "/xfce4/xfconf/xfce-perchannel-xml";
    std::filesystem::create_directories(channels);
    std::ofstream(channels + "/xfce4-panel.xml") << kPanelChannel;
    WriteSaverSettings("0:10:00");
}

XfceSession::~XfceSession() {
    Stop();
}

Environment XfceSession::Env() const {
    Environment env = desktop_->DesktopEnv();
    env.Set("XDG_CURRENT_DESKTOP", "XFCE");
    return env;
}

Environment XfceSession::ProgramEnv(const std::string& traceName) const {
    Environment env = desktop_->ProgramEnv(traceName);
    env.Set("XDG_CURRENT_DESKTOP", "XFCE");
    return env;
}

void XfceSession::WriteSaverSettings(const std::string& timeout) {
    // Blank only, no lock, fade or splash: nothing to wait for.
    std::ofstream(desktop_->Home() + "/.xscreensaver")
        << "timeout: " << timeout << "\n"
        << "mode: blank\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
           "dpmsEnabled: False\n";
    desktop_->HandBack();
}

void XfceSession::Start() {
    if (!panel_) {
        StartPanel();
    }
    if (!saver_) {
        Nudge();
        const std::string log = "xscreensaver-" + std::to_string(++saverStarts_);
        saver_.emplace(desktop_->Spawn(log, {"xscreensaver", "-no-splash", "-verbose"}, Env()));
        if (!WaitFor([&] { return Command("-time").code == 0; }, 15s, 100ms)) {
            throw std::runtime_error("xscreensaver did not come up, see " + Dir() + "/" + log +
                                     ".log");
        }
    }
}

void XfceSession::StartPanel() {
    const std::string log = "xfce4-panel-" + std::to_string(++panelStarts_);
    // No window manager here to wait for (xfwm4 is not needed for a tray).
    panel_.emplace(desktop_->Spawn(log, {"xfce4-panel", "--disable-wm-check"}, Env()));
    // The Status Tray plugin takes the watcher's name once it runs.
    desktop_->WaitOwned("org.kde.StatusNotifierWatcher", log, 30s);
}

void XfceSession::KillPanel() {
    if (panel_) {
        panel_->Signal(SIGKILL);
        panel_->WaitExit(5s);
        panel_.reset();
    }
    // Its plugins run in the panel's process; the watcher goes with it.
    WaitFor([&] { return !desktop_->Owned("org.kde.StatusNotifierWatcher"); }, 5s, 50ms);
}

void XfceSession::Stop() {
    saver_.reset();
    panel_.reset();
}

Output XfceSession::Command(const std::string& verb) {
    SpawnOptions tool;
    tool.argv = {"xscreensaver-command", verb};
    Environment env = Environment::Clean();
    env.Set("DISPLAY", desktop_->X().Display());
    tool.env = env.Entries();
    tool.stdoutPath = Dir() + "/xscreensaver-command.out";
    tool.stderrPath = Dir() + "/xscreensaver-command.log";
    return Capture(tool, 10s);
}

bool XfceSession::SaverActive() {
    const Output answer = Command("-time");
    if (answer.code != 0) {
        throw std::runtime_error("xscreensaver-command -time failed: " + answer.out);
    }
    return answer.out.find(": screen blanked since") != std::string::npos ||
           answer.out.find(": screen locked since") != std::string::npos;
}

void XfceSession::RequestSaverStart() {
    if (Command("-activate").code != 0) {
        throw std::runtime_error("xscreensaver-command -activate failed");
    }
}

void XfceSession::Deactivate() {
    if (Command("-deactivate").code != 0) {
        throw std::runtime_error("xscreensaver-command -deactivate failed");
    }
}

void XfceSession::SetIdleDelayToMinimum() {
    WriteSaverSettings("0:00:05");
    if (saver_) {
        saver_.reset();
        Start();
    }
}

void XfceSession::Nudge() {
    const int x = 300 + (++nudges_ % 2);
    desktop_->X().Xdotool({"mousemove", std::to_string(x), "300"});
}

}  // namespace ww::e2e
