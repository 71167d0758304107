#pragma once

#include <string>

#include "tests/e2e/desktops/SessionManagerDesktop.h"

namespace ww::e2e {

// Cinnamon 5.6's session manager and screen saver without its shell (the
// suite of our program's saver calls; CinnamonSession has the whole
// desktop), headless: cinnamon-session on a session of our own whose one
// required component is cinnamon-screensaver (no shell, no file manager).
class CinnamonSaverSession : public SessionManagerDesktop {
  public:
    CinnamonSaverSession();

    void SetIdleDelayToMinimum() override { SetIdleDelay(1); }
    // org.cinnamon.desktop.session idle-delay counts seconds.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(1); }
    // Any idle delay; a running session starts again with it.
    void SetIdleDelay(int seconds);
};

}  // namespace ww::e2e
