#include "settings/SettingsStore.h"

namespace ww::settings {

std::string SettingsKey() { return std::string("Software\\") + core::kAppTitle + "\\Settings"; }

std::string RunKey() { return std::string("Software\\") + "Microsoft\\Windows\\CurrentVersion\\Run"; }

void MigrateLegacySettings(RegStuff&) {}

void LoadSettings(RegStuff& reg, core::SharedState& shared) {
    std::int32_t hotCorners = 0;
    if (!reg.ReadRegDWORD(platform::kHkeyLocalMachine, SettingsKey(), "HotCorners", hotCorners)) {
        hotCorners = 0;
    }
    shared.HotCornersEnabled = static_cast<std::uint8_t>(hotCorners);
    std::string text;
    shared.AutoStartCurrentUser =
        reg.ReadRegString(platform::kHkeyCurrentUser, RunKey(), core::kAppTitle, text) ? 1 : 0;
    shared.AutoStartAllUsers =
        reg.ReadRegString(platform::kHkeyLocalMachine, RunKey(), core::kAppTitle, text) ? 1 : 0;
}

}  // namespace ww::settings
