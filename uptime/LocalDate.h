#pragma once

#include <cstdint>
#include <string>

#include "platform/ports/Clock.h"

namespace ww::uptime {

// Calendar arithmetic on local wall-clock time (no time-zone rules: the
// start moment is the present local time minus the uptime).
platform::LocalTime AddSeconds(const platform::LocalTime& moment, std::int64_t seconds);

// "dd-mmm-yy h:mm:ss am/pm" with `monthName` as mmm: 07-Dec-26 12:15:00 am.
std::string FormatStartTime(const platform::LocalTime& moment, const std::string& monthName);

}  // namespace ww::uptime
