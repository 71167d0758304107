#pragma once

#include <cstdint>

namespace ww::settings {

// The flags kept in the registry, as start-up read them and the menu and the
// Settings page have changed them since.
struct StoredFlags {
    // 1 = hot corners on. Detection and the menu test for exactly 1; the
    // picture choice treats any non-zero value as on.
    std::uint8_t HotCornersEnabled = 0;
    std::uint8_t AutoStartCurrentUser = 0;
    std::uint8_t AutoStartAllUsers = 0;
};

}  // namespace ww::settings
