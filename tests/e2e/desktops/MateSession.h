#pragma once

#include <optional>
#include <string>

#include "tests/e2e/desktops/SessionManagerDesktop.h"

namespace ww::e2e {

// MATE 1.27's session manager and screen saver, headless: mate-session with
// none of its required components (no window manager, panel or file manager
// is needed for idleness) starts mate-screensaver from its autostart entry.
class MateSession : public SessionManagerDesktop {
  public:
    MateSession();
    ~MateSession() override { KillPanel(); }

    void SetIdleDelayToMinimum() override { WriteSettings(1); }
    // org.mate.session idle-delay counts whole minutes; mate-screensaver
    // blanks some seconds after the presence turned idle.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::minutes(1); }

    // mate-panel in its default layout: the top panel's notification area
    // is the StatusNotifierWatcher and its host. Its applets are started by
    // the bus, which is given the session's environment first.
    void StartPanel();
    // Ends mate-panel and its applets by force, as a crash would, and waits
    // until the watcher is gone.
    void KillPanel();
    // The top panel's rows.
    static constexpr int kPanelRows = 25;

  private:
    void WriteSettings(int idleMinutes);

    std::optional<Process> panel_;
    int panels_ = 0;
    bool activationEnvironmentSet_ = false;
};

}  // namespace ww::e2e
