#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/Clock.h"
#include "platform/ports/Locale.h"

namespace ww::uptime {

// Seconds as a fixed-point number with four decimals: the count of
// ten-thousandths of a second.
using FixedSeconds = std::int64_t;
inline constexpr FixedSeconds kFixedOne = 10'000;

// GetUptimeSeconds' answer when no reading is possible (-99 seconds).
inline constexpr FixedSeconds kUptimeFailed = -99 * kFixedOne;

// How long the system has run, as text, and when it started.
class Uptime {
  public:
    Uptime(platform::Clock& clock, platform::Locale& locale) : clock_(clock), locale_(locale) {}

    // The uptime from the high-resolution counter, or whole seconds from the
    // tick count when there is none; kUptimeFailed when neither gives a reading.
    FixedSeconds GetUptimeSeconds();

    // "2 days, 3:04:05", or "uptime query failed", or
    // "failed to calculate uptime: " and the error's description.
    std::string GetUptimeText();

    // The start moment as "06-Dec-26 6:20:05 am", fixed by the first call for
    // the rest of the run ("unknown time" when that call had no reading).
    std::string GetStartTimeText();

  private:
    platform::Clock& clock_;
    platform::Locale& locale_;
    std::string startTimeText_;
};

// The uptime text for `seconds` (the formatting half of GetUptimeText).
std::string FormatUptime(FixedSeconds seconds);

}  // namespace ww::uptime
