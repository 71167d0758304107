#pragma once

#include <cstdint>

#include "tray/TrayPictures.h"

namespace ww::tray {

// What the tray picture depends on at the end of a tick.
struct TrayPictureFacts {
    // Any non-zero value counts as on here (start-up and detection want 1).
    std::uint8_t hotCornersEnabled = 0;
    bool screenSaverDisabled = false;
    // The bottom-right corner has seen the cursor (holding the saver off).
    bool holdingSaverOff = false;
    // The bottom-left corner has seen the cursor (starting the saver).
    bool startingSaver = false;
    bool receiving = false;
    bool sending = false;
};

// One of the 17 pictures: the family by the first fact that holds (saver
// switched off from the menu, held off by a corner, being started by a
// corner, hot corners on, hot corners off), then the activity variant.
TrayPicture ChooseTrayPicture(const TrayPictureFacts& facts);

// The picture at start-up and when a lost icon is put back: no activity, and
// hot corners on only for exactly 1 (unlike the tick's choice above).
TrayPicture StartupPicture(std::uint8_t hotCornersEnabled);

}  // namespace ww::tray
