#pragma once

#include <utility>

#include "platform/ports/SystemParameters.h"
#include "platform/win32/Win32SaverMarker.h"

namespace ww::platform {

// user32's SystemParametersInfoA for the screen saver's active flag. Other
// actions are refused (false): their pvParam is not a single integer. While
// the flag is off by this program, a Win32SaverMarker says so.
class Win32SystemParameters final : public SystemParameters {
  public:
    explicit Win32SystemParameters(Win32SaverMarker marker = Win32SaverMarker())
        : marker_(std::move(marker)) {}

    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;

    // At start: a marker left by a run that has ended is cleared, and when
    // the flag is still off it is switched on again, in the form the switch
    // off used (written to the profile on the NT family, in memory on
    // 95/98/Me). True when the flag was switched on.
    bool RepairLeftover();

  private:
    Win32SaverMarker marker_;
};

}  // namespace ww::platform
