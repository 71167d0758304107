#pragma once

#include <cstdint>
#include <string>

namespace ww::core {

// The program-wide flags every part may read. One instance lives for the
// whole run; modules get it by reference from the composition root.
struct SharedState {
    // 1 = hot corners on. Detection and the menu test for exactly 1; the
    // picture choice treats any non-zero value as on.
    std::uint8_t HotCornersEnabled = 0;
    std::uint8_t AutoStartCurrentUser = 0;
    std::uint8_t AutoStartAllUsers = 0;
    // Toggled only by the tray menu; blocks corner detection while true.
    bool ScreenSaverDisabled = false;
    // At most 255 characters; empty when it could not be read.
    std::string ComputerName;
    // 1 = 95/98/Me family, 2 = NT family, 0 until known.
    std::int32_t OSPlatformId = 0;
    bool IsNT5OrLater = false;
};

// The application title names the mutexes, the settings key, the
// automatic-start values and every window and message-box caption.
inline constexpr const char* kAppTitle = "Wakewatch";

}  // namespace ww::core
