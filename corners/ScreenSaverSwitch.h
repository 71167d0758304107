#pragma once

namespace ww::corners {

// The tray menu's "Disable Screen Saver" switch: never stored, and while it
// is on the corners are not watched.
struct ScreenSaverSwitch {
    bool ScreenSaverDisabled = false;
};

}  // namespace ww::corners
