#pragma once

#include "platform/ports/SystemParameters.h"

namespace ww::platform {

// The screen saver of the desktop session, as the logic sees it (the active
// flag through SystemParametersInfoA) plus what the backend itself needs.
class DesktopScreenSaver : public SystemParameters {
  public:
    // Starts the saver now: the tray form's default processing of
    // WM_SYSCOMMAND / SC_SCREENSAVE. Does not wait.
    virtual void Start() = 0;

    // For every exit path, normal or not: undoes whatever hold this program
    // still has on the saver. Safe to call more than once.
    virtual void RestoreOnExit() = 0;
};

}  // namespace ww::platform
