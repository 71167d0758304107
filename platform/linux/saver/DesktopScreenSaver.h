#pragma once

#include "platform/ports/SystemParameters.h"

namespace ww::platform {

// The screen saver of the desktop session, as the logic sees it (the active
// flag through SystemParametersInfoA, starting it) plus what the backend
// itself needs.
class DesktopScreenSaver : public SystemParameters {
  public:
    // False: a session's saver switch (the X server's timeout, a hold on the
    // session's service) lives only as long as the session or this program;
    // nothing writes it to the user's settings.
    bool SaverSwitchPersists() final { return false; }

    // For every exit path, normal or not: undoes whatever hold this program
    // still has on the saver. Safe to call more than once.
    virtual void RestoreOnExit() = 0;
};

}  // namespace ww::platform
