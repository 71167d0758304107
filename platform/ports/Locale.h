#pragma once

#include <string>

namespace ww::platform {

// The user's locale, for the texts the program formats itself.
class Locale {
  public:
    virtual ~Locale() = default;

    // The abbreviated name of `month` (1..12): "Jan".."Dec" in English. UTF-8.
    virtual std::string MonthAbbreviation(int month) = 0;

    // The digit-group (thousands) separator, e.g. "," or "." or a no-break
    // space; may be empty when the locale groups without one. UTF-8.
    virtual std::string ThousandsSeparator() = 0;
};

}  // namespace ww::platform
