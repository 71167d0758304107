#include "platform/win32/Win32Clock.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(Win32ClockTest, CounterRunsForwardAtAKnownRate) {
    Win32Clock clock;
    std::int64_t frequency = 0;
    EXPECT_TRUE(clock.QueryPerformanceFrequency(frequency));
    EXPECT_GT(frequency, 0);
    std::int64_t first = -1;
    std::int64_t second = -1;
    ASSERT_TRUE(clock.QueryPerformanceCounter(first));
    ASSERT_TRUE(clock.QueryPerformanceCounter(second));
    EXPECT_GT(first, 0);
    EXPECT_GE(second, first);
    // The counter and the tick count both count from system start.
    const double counterSeconds = static_cast<double>(second) / static_cast<double>(frequency);
    const double tickSeconds = clock.GetTickCount() / 1000.0;
    if (counterSeconds < 4e6) {  // the tick count has not wrapped yet
        EXPECT_NEAR(counterSeconds, tickSeconds, 5.0);
    }
}

TEST(Win32ClockTest, LocalTimeIsACalendarMoment) {
    const LocalTime now = Win32Clock().Now();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
    EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
    EXPECT_TRUE(now.second >= 0 && now.second <= 59);
}

}  // namespace
}  // namespace ww::platform
