#include "uptime/LocalDate.h"

#include <cstdio>

namespace ww::uptime {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil-date algorithms).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + doe - 719'468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
    z += 719'468;
    const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const std::int64_t doe = z - era * 146'097;
    const std::int64_t yoe = (doe - doe / 1'460 + doe / 36'524 - doe / 146'096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

}  // namespace

platform::LocalTime AddSeconds(const platform::LocalTime& moment, std::int64_t seconds) {
    std::int64_t total = DaysFromCivil(moment.year, moment.month, moment.day) * 86'400 +
                         moment.hour * 3'600 + moment.minute * 60 + moment.second + seconds;
    std::int64_t days = total / 86'400;
    std::int64_t rest = total % 86'400;
    if (rest < 0) {
        rest += 86'400;
        --days;
    }
    std::int64_t y = 0;
    std::int64_t m = 0;
    std::int64_t d = 0;
    CivilFromDays(days, y, m, d);
    platform::LocalTime result;
    result.year = static_cast<int>(y);
    result.month = static_cast<int>(m);
    result.day = static_cast<int>(d);
    result.hour = static_cast<int>(rest / 3'600);
    result.minute = static_cast<int>(rest % 3'600 / 60);
    result.second = static_cast<int>(rest % 60);
    return result;
}

std::string FormatStartTime(const platform::LocalTime& t, const std::string& monthName) {
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    const int yy = ((t.year % 100) + 100) % 100;
    char head[8];
    char tail[24];
    std::snprintf(head, sizeof head, "%02d-", t.day % 100);
    std::snprintf(tail, sizeof tail, "-%02d %d:%02d:%02d %s", yy, hour12, t.minute % 100,
                  t.second % 100, t.hour < 12 ? "am" : "pm");
    return head + monthName + tail;
}

}  // namespace ww::uptime
