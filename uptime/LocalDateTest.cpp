#include "uptime/LocalDate.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

namespace ww::uptime {
namespace {

using platform::LocalTime;

auto Fields(const LocalTime& t) {
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

struct AddCase {
    LocalTime from;
    std::int64_t seconds;
    LocalTime to;
};

// "2026-03-01 00:00:00 -1 s"
void PrintTo(const AddCase& c, std::ostream* out) {
    const LocalTime& t = c.from;
    *out << t.year << '-' << t.month << '-' << t.day << ' ' << t.hour << ':' << t.minute << ':'
         << t.second << ' ' << (c.seconds >= 0 ? "+" : "") << c.seconds << " s";
}

class AddSecondsTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddSecondsTest, CrossesCalendarBoundaries) {
    EXPECT_EQ(Fields(AddSeconds(GetParam().from, GetParam().seconds)), Fields(GetParam().to));
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, AddSecondsTest,
    ::testing::Values(AddCase{{2026, 3, 1, 0, 0, 0}, -1, {2026, 2, 28, 23, 59, 59}},
                      AddCase{{2024, 3, 1, 0, 0, 0}, -1, {2024, 2, 29, 23, 59, 59}},
                      AddCase{{2000, 3, 1, 0, 0, 0}, -86'400, {2000, 2, 29, 0, 0, 0}},
                      AddCase{{2100, 3, 1, 0, 0, 0}, -86'400, {2100, 2, 28, 0, 0, 0}},
                      AddCase{{2026, 1, 1, 0, 0, 0}, -1, {2025, 12, 31, 23, 59, 59}},
                      AddCase{{2026, 12, 7, 6, 25, 0}, -400LL * 86'400, {2025, 11, 2, 6, 25, 0}},
                      AddCase{{2026, 12, 31, 23, 59, 59}, 1, {2027, 1, 1, 0, 0, 0}}),
    // Every case starts on a day of its own: From20260301.
    [](const auto& test) {
        const LocalTime& from = test.param.from;
        return "From" + std::to_string(from.year * 10000 + from.month * 100 + from.day);
    });

TEST(FormatStartTime, TwelveHourClockAndTwoDigitFields) {
    EXPECT_EQ(FormatStartTime({2009, 7, 4, 0, 5, 9}, "Jul"), "04-Jul-09 12:05:09 am");
    EXPECT_EQ(FormatStartTime({2009, 7, 4, 11, 59, 59}, "Jul"), "04-Jul-09 11:59:59 am");
    EXPECT_EQ(FormatStartTime({2009, 7, 4, 12, 0, 0}, "Jul"), "04-Jul-09 12:00:00 pm");
    EXPECT_EQ(FormatStartTime({2009, 7, 4, 23, 0, 0}, "Jul"), "04-Jul-09 11:00:00 pm");
    EXPECT_EQ(FormatStartTime({2100, 1, 31, 13, 1, 2}, "Jan"), "31-Jan-00 1:01:02 pm");
}

}  // namespace
}  // namespace ww::uptime
