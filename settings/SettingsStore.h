#pragma once

#include <cstdint>
#include <string>

#include "settings/RegistryAccess.h"
#include "settings/StoredFlags.h"

namespace ww::settings {

// "Software\Wakewatch\Settings" and the standard Run key.
std::string SettingsKey();
std::string RunKey();

// Brings the older releases' layout into the current one; runs at every start.
void MigrateLegacySettings(RegistryAccess& reg);

// Whether the automatic-start value exists under `root`.
bool RunEntryExists(RegistryAccess& reg, platform::HKey root);

// The stored "HotCorners" value as the byte flag holds it: 0 when missing,
// unreadable or outside 0..255.
std::uint8_t StoredHotCorners(RegistryAccess& reg);

// Writes `value` as the stored "HotCorners" value, where StoredHotCorners
// reads it. True when it was stored.
bool StoreHotCorners(RegistryAccess& reg, std::int32_t value);

// Start-up's reads: "HotCorners" (0 when unreadable) and whether the
// automatic-start values exist for the current user and for all users.
void LoadSettings(RegistryAccess& reg, StoredFlags& flags);

}  // namespace ww::settings
