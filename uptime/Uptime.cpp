#include "uptime/Uptime.h"

#include <cstdint>
#include <optional>
#include <string>

#include "uptime/FixedPoint.h"
#include "uptime/LocalDate.h"

namespace ww::uptime {

FixedSeconds Uptime::GetUptimeSeconds() {
    std::int64_t counter = 0;
    if (clock_.QueryPerformanceCounter(counter)) {
        std::int64_t frequency = 0;
        clock_.QueryPerformanceFrequency(frequency);
        return DivideToFixed(counter, frequency).value_or(kUptimeFailed);
    }
    // No high-resolution counter: whole seconds from the millisecond count,
    // which reads as negative once it passes 2^31 (after about 24.8 days).
    const auto ticks = static_cast<std::int32_t>(clock_.GetTickCount());
    const std::int32_t seconds = ticks / 1000;
    if (seconds < 0) {
        return kUptimeFailed;
    }
    return seconds * kFixedOne;
}

namespace {

void AppendTwoDigitField(std::string& text, std::int32_t value) {
    text += value < 10 ? ":0" : ":";
    text += std::to_string(value);
}

}  // namespace

std::string FormatUptime(FixedSeconds u) {
    // Each unit is taken from the value rounded afresh, so a rounding that
    // reaches a boundary carries into the larger unit (86399.5 s is a day).
    const auto whole = RoundHalfEven(u);
    if (!whole) {
        return "failed to calculate uptime: Overflow";
    }
    const std::int32_t days = *whole / 86'400;
    if (days > 0) {
        u -= std::int64_t{days} * 86'400 * kFixedOne;
    }
    const std::int32_t hours = RoundHalfEven(u).value_or(0) / 3'600;
    if (hours > 0) {
        u -= std::int64_t{hours} * 3'600 * kFixedOne;
    }
    const std::int32_t rest = RoundHalfEven(u).value_or(0);
    const std::int32_t minutes = rest / 60;
    const std::int32_t seconds = rest % 60;

    std::string text = std::to_string(days);
    text += days == 1 ? " day, " : " days, ";
    text += std::to_string(hours);
    AppendTwoDigitField(text, minutes);
    AppendTwoDigitField(text, seconds);
    return text;
}

std::string Uptime::GetUptimeText() {
    const FixedSeconds u = GetUptimeSeconds();
    if (u == kUptimeFailed) {
        return "uptime query failed";
    }
    return FormatUptime(u);
}

std::string Uptime::GetStartTimeText() {
    if (!startTimeText_.empty()) {
        return startTimeText_;
    }
    const FixedSeconds u = GetUptimeSeconds();
    if (u == kUptimeFailed) {
        startTimeText_ = "unknown time";
        return startTimeText_;
    }
    // The start moment is shown to the second; the counter's fraction is
    // rounded the same way the uptime text rounds it.
    const std::int64_t upSeconds = RoundHalfEven(u).value_or(0);
    const platform::LocalTime start = AddSeconds(clock_.Now(), -upSeconds);
    startTimeText_ = FormatStartTime(start, locale_.MonthAbbreviation(start.month));
    return startTimeText_;
}

}  // namespace ww::uptime
