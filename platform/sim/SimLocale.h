#pragma once

#include <array>
#include <string>

#include "platform/ports/Locale.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// A steerable locale; English month names and "," by default.
class SimLocale : public Locale {
  public:
    explicit SimLocale(SimLog& log) : log_(log) {}

    // "" for a month outside 1..12.
    std::string MonthAbbreviation(int month) override;
    std::string ThousandsSeparator() override;

    // --- control ---
    void SetMonthAbbreviations(const std::array<std::string, 12>& names) { months_ = names; }
    void SetThousandsSeparator(std::string separator) { separator_ = std::move(separator); }

  private:
    SimLog& log_;
    std::array<std::string, 12> months_ = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string separator_ = ",";
};

}  // namespace ww::platform
