#pragma once

#include <cstdint>

#include "corners/ScreenSaver.h"
#include "corners/ScreenSaverSwitch.h"
#include "monitors/NetworkActivity.h"
#include "platform/ports/CursorScreen.h"
#include "platform/ports/UiRuntime.h"
#include "settings/StoredFlags.h"
#include "tray/SysTray.h"
#include "tray/TrayPictureChoice.h"

namespace ww::corners {

struct HotCornerState {
    std::int32_t ScreenWidth = 0;
    std::int32_t ScreenHeight = 0;
    std::uint8_t StartCornerState = 0;
    std::uint8_t DisableCornerState = 0;
};

// Once per tick: the hot-corner state machines, then the tray picture.
class HotCorners {
  public:
    HotCorners(platform::CursorScreen& cursor, platform::Dialogs& dialogs, ScreenSaver& saver,
               tray::SysTray& tray, const settings::StoredFlags& flags,
               const ScreenSaverSwitch& saverSwitch, const monitors::NetworkActivity& network)
        : cursor_(cursor),
          dialogs_(dialogs),
          saver_(saver),
          tray_(tray),
          flags_(flags),
          saverSwitch_(saverSwitch),
          network_(network) {}

    // Never fails outward: a failure abandons the rest of the run and is
    // shown in a warning box; the next run starts over.
    void UpdateTrayState();

    const corners::HotCornerState& State() const { return state_; }

  private:
    struct Zones {
        bool inStart = false;    // bottom left
        bool inDisable = false;  // bottom right
    };
    // Which zones hold the cursor now; measures the screen when the position
    // is what tells.
    Zones LocateCursor();
    void DetectCorners();

    platform::CursorScreen& cursor_;
    platform::Dialogs& dialogs_;
    ScreenSaver& saver_;
    tray::SysTray& tray_;
    const settings::StoredFlags& flags_;
    const ScreenSaverSwitch& saverSwitch_;
    const monitors::NetworkActivity& network_;
    HotCornerState state_;
};

}  // namespace ww::corners
