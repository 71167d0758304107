#pragma once

#include "corners/ScreenSaverSwitch.h"
#include "monitors/ComputerIdentity.h"
#include "settings/StoredFlags.h"

namespace ww::core {

// The program-wide state, one instance for the whole run. Each part is
// declared by the layer that owns it and handed down by reference to the
// modules that need it; the composition root holds them together.
struct SharedState : monitors::ComputerIdentity,
                     settings::StoredFlags,
                     corners::ScreenSaverSwitch {};

}  // namespace ww::core
