#include "corners/ScreenSaver.h"

namespace ww::corners {

namespace {
constexpr std::int32_t kPlatformNt = 2;  // VER_PLATFORM_WIN32_NT
}  // namespace

void ScreenSaver::StartScreenSaver() {
    // The tray window's default processing starts whatever saver is
    // configured; the answer says nothing useful, so it is not read.
    windows_.SendMessageA(trayWindow_, platform::msg::kSysCommand, platform::msg::kScScreenSave, 0);
}

bool ScreenSaver::GetScreenSaverActive() {
    // A failed query leaves 0 behind, which reads as inactive.
    std::int32_t active = 0;
    parameters_.SystemParametersInfoA(platform::spi::kGetScreenSaveActive, 0, &active, 0);
    return active == 1;
}

void ScreenSaver::DisableScreenSaver() {
    SetActive(0);
}

void ScreenSaver::EnableScreenSaver() {
    SetActive(1);
}

void ScreenSaver::SetActive(std::uint32_t flag) {
    if (computer_.OSPlatformId == kPlatformNt) {
        // Written to the user profile and broadcast, so every program sees it.
        std::int32_t zero = 0;
        parameters_.SystemParametersInfoA(
            platform::spi::kSetScreenSaveActive, flag, &zero,
            platform::spi::kUpdateIniFile | platform::spi::kSendWinIniChange);
    } else {
        parameters_.SystemParametersInfoA(platform::spi::kSetScreenSaveActive, flag, nullptr, 0);
    }
}

}  // namespace ww::corners
