#include "platform/sim/SimLocale.h"

namespace ww::platform {

std::string SimLocale::MonthAbbreviation(int month) {
    log_.Add("MonthAbbreviation(" + std::to_string(month) + ")");
    if (month < 1 || month > 12) {
        return {};
    }
    return months_[static_cast<std::size_t>(month - 1)];
}

std::string SimLocale::ThousandsSeparator() {
    log_.Add("ThousandsSeparator");
    return separator_;
}

}  // namespace ww::platform
