#include "settings/SettingsStore.h"

#include "platform/ports/ProgramInfo.h"

namespace ww::settings {
namespace {

constexpr const char* kLegacyHotCorners = "SleeperActive";
constexpr const char* kHotCorners = "HotCorners";

// True when the automatic-start value under `root` exists and holds empty
// text. The text starts non-empty so that an entry of a type that cannot be
// read as text (left untouched by the read) is not taken for an empty one:
// the program only ever writes REG_SZ there, so such an entry is someone
// else's and stays.
bool RunEntryIsEmpty(RegistryAccess& reg, platform::HKey root) {
    std::string text = "?";
    return reg.ReadRegString(root, RunKey(), platform::kAppTitle, text) && text.empty();
}

}  // namespace

bool RunEntryExists(RegistryAccess& reg, platform::HKey root) {
    std::string text;
    return reg.ReadRegString(root, RunKey(), platform::kAppTitle, text);
}

std::uint8_t StoredHotCorners(RegistryAccess& reg) {
    std::int32_t hotCorners = 0;
    // A number that does not fit the byte flag was not written by this
    // program (it writes 0 or 1); truncating it could switch corners on by
    // accident (257 would become 1), so it counts as off.
    if (!reg.ReadRegDWORD(platform::kHkeyLocalMachine, SettingsKey(), kHotCorners, hotCorners) ||
        hotCorners < 0 || hotCorners > 255) {
        hotCorners = 0;
    }
    return static_cast<std::uint8_t>(hotCorners);
}

bool StoreHotCorners(RegistryAccess& reg, std::int32_t value) {
    return reg.WriteRegDWORD(platform::kHkeyLocalMachine, SettingsKey(), kHotCorners, value);
}

std::string SettingsKey() {
    return std::string("Software\\") + platform::kAppTitle + "\\Settings";
}

std::string RunKey() {
    return std::string("Software\\") + "Microsoft\\Windows\\CurrentVersion\\Run";
}

void MigrateLegacySettings(RegistryAccess& reg) {
    using platform::kHkeyCurrentUser;
    using platform::kHkeyLocalMachine;

    // Older releases kept the hot-corner choice per user. The copy is made
    // unchanged; the old value stays until the copy is stored, so a start
    // that cannot write it (no rights, a broken or full store) loses nothing
    // and the next start tries again. The key deletions fail harmlessly
    // while other data remains.
    std::int32_t legacy = 0;
    if (reg.ReadRegDWORD(kHkeyCurrentUser, SettingsKey(), kLegacyHotCorners, legacy) &&
        StoreHotCorners(reg, legacy)) {
        reg.DeleteRegValue(kHkeyCurrentUser, SettingsKey(), kLegacyHotCorners);
        reg.DeleteRegKey(kHkeyCurrentUser, SettingsKey());
        reg.DeleteRegKey(kHkeyCurrentUser, std::string("Software\\") + platform::kAppTitle);
    }

    if (RunEntryIsEmpty(reg, kHkeyLocalMachine)) {
        reg.DeleteRegValue(kHkeyLocalMachine, RunKey(), platform::kAppTitle);
    }
    if (RunEntryIsEmpty(reg, kHkeyCurrentUser)) {
        reg.DeleteRegValue(kHkeyCurrentUser, RunKey(), platform::kAppTitle);
    }
    // Starting for all users covers the current user too; one entry is enough.
    if (RunEntryExists(reg, kHkeyLocalMachine) && RunEntryExists(reg, kHkeyCurrentUser)) {
        reg.DeleteRegValue(kHkeyCurrentUser, RunKey(), platform::kAppTitle);
    }
}

void LoadSettings(RegistryAccess& reg, StoredFlags& flags) {
    flags.HotCornersEnabled = StoredHotCorners(reg);
    flags.AutoStartCurrentUser = RunEntryExists(reg, platform::kHkeyCurrentUser) ? 1 : 0;
    flags.AutoStartAllUsers = RunEntryExists(reg, platform::kHkeyLocalMachine) ? 1 : 0;
}

}  // namespace ww::settings
