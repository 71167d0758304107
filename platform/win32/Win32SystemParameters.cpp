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
        return ::SystemParametersInfoA(action, uiParam, pvParam, fWinIni) != FALSE;
    }
    return false;
}

}  // namespace ww::platform
