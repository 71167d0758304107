#pragma once

#include "platform/ports/Locale.h"

namespace ww::platform {

// The user's locale as GetLocaleInfo reports it, read afresh on every call
// so that a change in the control panel shows at once.
class Win32Locale final : public Locale {
  public:
    std::string MonthAbbreviation(int month) override;
    std::string ThousandsSeparator() override;
};

}  // namespace ww::platform
