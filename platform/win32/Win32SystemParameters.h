#pragma once

#include "platform/ports/SystemParameters.h"

namespace ww::platform {

// user32's SystemParametersInfoA for the screen saver's active flag. Other
// actions are refused (false): their pvParam is not a single integer.
class Win32SystemParameters final : public SystemParameters {
  public:
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;
};

}  // namespace ww::platform
