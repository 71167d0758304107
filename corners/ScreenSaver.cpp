#include "corners/ScreenSaver.h"

namespace ww::corners {

void ScreenSaver::StartScreenSaver() {
    parameters_.StartScreenSaver();
}

bool ScreenSaver::GetScreenSaverActive() {
    // A failed query leaves 0 behind, which reads as inactive.
    std::int32_t active = 0;
    parameters_.SystemParametersInfoA(platform::spi::kGetScreenSaveActive, 0, &active, 0);
    return active == 1;
}

bool ScreenSaver::DisableScreenSaver() {
    return SetActive(0);
}

void ScreenSaver::EnableScreenSaver() {
    SetActive(1);
}

bool ScreenSaver::SetActive(std::uint32_t flag) {
    if (parameters_.SaverSwitchPersists()) {
        // Written to the user profile and broadcast, so every program sees it.
        std::int32_t zero = 0;
        return parameters_.SystemParametersInfoA(
            platform::spi::kSetScreenSaveActive, flag, &zero,
            platform::spi::kUpdateIniFile | platform::spi::kSendWinIniChange);
    }
    return parameters_.SystemParametersInfoA(platform::spi::kSetScreenSaveActive, flag, nullptr, 0);
}

}  // namespace ww::corners
