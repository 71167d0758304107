#pragma once

#include <string>

#include "tests/e2e/desktops/SessionManagerDesktop.h"

namespace ww::e2e {

// MATE 1.27's session manager and screen saver, headless: mate-session with
// none of its required components (no window manager, panel or file manager
// is needed for idleness) starts mate-screensaver from its autostart entry.
class MateSession : public SessionManagerDesktop {
  public:
    MateSession();

    void SetIdleDelayToMinimum() override { WriteSettings(1); }
    // org.mate.session idle-delay counts whole minutes; mate-screensaver
    // blanks some seconds after the presence turned idle.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::minutes(1); }

  private:
    void WriteSettings(int idleMinutes);
};

}  // namespace ww::e2e
