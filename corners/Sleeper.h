#pragma once

#include <cstdint>
#include <memory>

#include "core/SharedState.h"
#include "corners/ScreenSaverStuff.h"
#include "monitors/CIpHelper.h"
#include "platform/ports/CursorScreen.h"
#include "platform/ports/UiRuntime.h"
#include "tray/SysTray.h"

namespace ww::corners {

struct HotCornerState {
    std::int32_t ScreenWidth = 0;
    std::int32_t ScreenHeight = 0;
    std::uint8_t StartCornerState = 0;
    std::uint8_t DisableCornerState = 0;
};

// Once per tick: the hot-corner state machines, then the tray picture.
class Sleeper {
  public:
    Sleeper(platform::CursorScreen& cursor, platform::Dialogs& dialogs, ScreenSaverStuff& saver,
            tray::SysTray& tray, core::SharedState& shared,
            std::unique_ptr<monitors::CIpHelper>& network, platform::InterfaceTable& table)
        : cursor_(cursor),
          dialogs_(dialogs),
          saver_(saver),
          tray_(tray),
          shared_(shared),
          network_(network),
          table_(table) {}

    // Never fails outward: a failure abandons the rest of the run and is
    // shown in a warning box; the next run starts over.
    void UpdateTrayState();

    const corners::HotCornerState& State() const { return state_; }

  private:
    void DetectCorners();
    tray::TrayPicture ChoosePicture();

    platform::CursorScreen& cursor_;
    platform::Dialogs& dialogs_;
    ScreenSaverStuff& saver_;
    tray::SysTray& tray_;
    core::SharedState& shared_;
    std::unique_ptr<monitors::CIpHelper>& network_;
    platform::InterfaceTable& table_;
    HotCornerState state_;
};

}  // namespace ww::corners
