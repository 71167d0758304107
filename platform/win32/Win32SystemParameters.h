#pragma once

#include "platform/win32/Win32Calls.h"

#include <functional>
#include <optional>
#include <utility>

#include "platform/ports/SystemParameters.h"
#include "platform/win32/Win32SaverMarker.h"

namespace ww::platform {

// user32's SystemParametersInfoA for the screen saver's active flag. Other
// actions are refused (false): their pvParam is not a single integer. While
// the flag is off by this program, a Win32SaverMarker says so.
class Win32SystemParameters final : public SystemParameters {
  public:
    // `trayWindow` gives the hidden tray form's window (nullptr while there
    // is none), which the start request is sent to.
    explicit Win32SystemParameters(Win32SaverMarker marker = Win32SaverMarker(),
                                   std::function<HWND()> trayWindow = {})
        : marker_(std::move(marker)), trayWindow_(std::move(trayWindow)) {}

    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;

    // WM_SYSCOMMAND / SC_SCREENSAVE, sent to the tray form: through whatever
    // procedure the logic installed there to the form's own, whose default
    // processing starts the saver the user chose. Nothing without a form.
    void StartScreenSaver() override;

    // On the NT family (GetVersionExA's platform 2) only: there the flag is
    // kept in the user's profile; on 95/98/Me it is not.
    bool SaverSwitchPersists() override;

    // At start: a marker left by a run that has ended is cleared, and when
    // the flag is still off it is switched on again, in the form the switch
    // off used (written to the profile on the NT family, in memory on
    // 95/98/Me). True when the flag was switched on.
    bool RepairLeftover();

  private:
    Win32SaverMarker marker_;
    std::function<HWND()> trayWindow_;
    std::optional<bool> persists_;  // asked once: the system does not change under us
};

// Whether a system of this GetVersionExA platform keeps the flag in the
// user's profile: VER_PLATFORM_WIN32_NT only.
constexpr bool SaverSwitchPersistsOn(DWORD platformId) {
    return platformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace ww::platform
