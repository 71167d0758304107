#pragma once

#include <array>
#include <string>

#include "platform/ports/Locale.h"

namespace ww::platform {

// The locale names the C library would use for LC_TIME and LC_NUMERIC.
struct LocaleNames {
    std::string time = "C";
    std::string numeric = "C";

    // LC_ALL, then LC_TIME / LC_NUMERIC, then LANG, as setlocale(LC_ALL, "") does.
    static LocaleNames FromEnvironment();
};

// The user's month abbreviations and digit-group separator, read once at
// start and converted to UTF-8 from the locale's own character set.
class LinuxLocale final : public Locale {
  public:
    explicit LinuxLocale(const LocaleNames& names = LocaleNames::FromEnvironment());

    std::string MonthAbbreviation(int month) override;
    std::string ThousandsSeparator() override;

  private:
    std::array<std::string, 12> months_;
    std::string separator_;
};

}  // namespace ww::platform
