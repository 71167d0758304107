#include "platform/win32/Win32SystemParameters.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {

static_assert(spi::kGetScreenSaveActive == SPI_GETSCREENSAVEACTIVE);
static_assert(spi::kSetScreenSaveActive == SPI_SETSCREENSAVEACTIVE);
static_assert(spi::kUpdateIniFile == SPIF_UPDATEINIFILE);
static_assert(spi::kSendWinIniChange == SPIF_SENDWININICHANGE);

bool Win32SystemParameters::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                                  std::int32_t* pvParam, std::uint32_t fWinIni) {
    if (action == spi::kGetScreenSaveActive) {
        if (pvParam == nullptr) {
            return false;
        }
        BOOL active = FALSE;
        if (!::SystemParametersInfoA(action, uiParam, &active, fWinIni)) {
            return false;
        }
        *pvParam = active;
        return true;
    }
    if (action == spi::kSetScreenSaveActive) {
        // Before: no way out may leave "off" unmarked, so without the
        // marker the saver is not switched off at all.
        if (uiParam == 0 && !marker_.Write()) {
            return false;
        }
        const bool done = ::SystemParametersInfoA(action, uiParam, pvParam, fWinIni) != FALSE;
        if (uiParam != 0 && done) {
            marker_.Clear();
        }
        return done;
    }
    return false;
}

void Win32SystemParameters::StartScreenSaver() {
    const HWND form = trayWindow_ ? trayWindow_() : nullptr;
    if (form != nullptr && IsWindow(form) != FALSE) {
        // The answer says nothing useful.
        ::SendMessageA(form, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    }
}

bool Win32SystemParameters::SaverSwitchPersists() {
    if (!persists_) {
        // A failed call leaves platform 0: the in-memory form.
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
        ::GetVersionExA(&version);
        persists_ = SaverSwitchPersistsOn(version.dwPlatformId);
    }
    return *persists_;
}

bool Win32SystemParameters::RepairLeftover() {
    if (!marker_.LeftByEndedRun()) {
        return false;
    }
    BOOL active = TRUE;
    bool repaired = false;
    if (::SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) && !active) {
        INT zero = 0;
        repaired =
            SaverSwitchPersists()
                ? ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, &zero,
                                          SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE) != FALSE
                : ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0) != FALSE;
    }
    marker_.Clear();
    return repaired;
}

}  // namespace ww::platform
