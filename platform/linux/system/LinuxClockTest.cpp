#include "platform/linux/system/LinuxClock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <fstream>

namespace ww::platform {
namespace {

TEST(LinuxClockTest, CounterIsNanosecondsSinceBoot) {
    LinuxClock clock;
    std::int64_t frequency = 0;
    ASSERT_TRUE(clock.QueryPerformanceFrequency(frequency));
    EXPECT_EQ(frequency, 1'000'000'000);

    std::int64_t first = 0;
    std::int64_t second = 0;
    ASSERT_TRUE(clock.QueryPerformanceCounter(first));
    ASSERT_TRUE(clock.QueryPerformanceCounter(second));
    EXPECT_GT(first, 0);
    EXPECT_GE(second, first);

    // /proc/uptime counts suspended time too: the two agree to the second.
    std::ifstream uptime("/proc/uptime");
    double seconds = 0;
    ASSERT_TRUE(uptime >> seconds);
    EXPECT_NEAR(static_cast<double>(first) / static_cast<double>(frequency), seconds, 1.0);

    // Never behind the monotonic clock, which stops during suspend.
    timespec monotonic{};
    clock_gettime(CLOCK_MONOTONIC, &monotonic);
    EXPECT_GE(second / frequency + 1, static_cast<std::int64_t>(monotonic.tv_sec));
}

TEST(LinuxClockTest, TickCountIsTheCounterInMillisecondsModulo2To32) {
    LinuxClock clock;
    std::int64_t before = 0;
    std::int64_t after = 0;
    ASSERT_TRUE(clock.QueryPerformanceCounter(before));
    const std::uint32_t ticks = clock.GetTickCount();
    ASSERT_TRUE(clock.QueryPerformanceCounter(after));
    const auto low = static_cast<std::uint32_t>(before / 1'000'000);
    const auto high = static_cast<std::uint32_t>(after / 1'000'000);
    EXPECT_LE(static_cast<std::uint32_t>(ticks - low), static_cast<std::uint32_t>(high - low));
}

TEST(LinuxClockTest, NowIsTheLocalCalendarTime) {
    LinuxClock clock;
    const time_t before = time(nullptr);
    const LocalTime now = clock.Now();
    const time_t after = time(nullptr);
    bool matched = false;
    for (time_t t = before; t <= after; ++t) {
        tm local{};
        localtime_r(&t, &local);
        matched = matched || (now.year == local.tm_year + 1900 && now.month == local.tm_mon + 1 &&
                              now.day == local.tm_mday && now.hour == local.tm_hour &&
                              now.minute == local.tm_min && now.second == local.tm_sec);
    }
    EXPECT_TRUE(matched);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
}

}  // namespace
}  // namespace ww::platform
