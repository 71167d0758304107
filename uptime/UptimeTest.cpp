#include "uptime/Uptime.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "platform/sim/SimPlatform.h"

namespace ww::uptime {
namespace {

using platform::LocalTime;
using platform::SimPlatform;

struct UptimeCase {
    std::int64_t tenThousandths;
    const char* text;
};

void PrintTo(const UptimeCase& c, std::ostream* out) {
    *out << c.tenThousandths << " ten-thousandths of a second";
}

class UptimeTextTest : public ::testing::TestWithParam<UptimeCase> {};

// The high-resolution counter at 10 kHz gives the exact fixed-point value.
TEST_P(UptimeTextTest, FormatsCounterReading) {
    SimPlatform sim;
    sim.clock().SetFrequency(10'000);
    sim.clock().SetCounter(GetParam().tenThousandths);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetUptimeText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedTable, UptimeTextTest,
    ::testing::Values(
        UptimeCase{0, "0 days, 0:00:00"}, UptimeCase{59'0000, "0 days, 0:00:59"},
        UptimeCase{60'0000, "0 days, 0:01:00"}, UptimeCase{3599'0000, "0 days, 0:59:59"},
        UptimeCase{3600'0000, "0 days, 1:00:00"}, UptimeCase{86399'0000, "0 days, 23:59:59"},
        UptimeCase{86400'0000, "1 day, 0:00:00"}, UptimeCase{86409'0000, "1 day, 0:00:09"},
        UptimeCase{172800'0000, "2 days, 0:00:00"}, UptimeCase{183845'0000, "2 days, 3:04:05"},
        UptimeCase{909296'0000, "10 days, 12:34:56"}, UptimeCase{32707'0000, "0 days, 9:05:07"},
        UptimeCase{58'5000, "0 days, 0:00:58"}, UptimeCase{59'5000, "0 days, 0:01:00"},
        UptimeCase{86399'5000, "1 day, 0:00:00"}, UptimeCase{3599'5000, "0 days, 1:00:00"},
        UptimeCase{60'4999, "0 days, 0:01:00"}, UptimeCase{60'5001, "0 days, 0:01:01"}),
    [](const auto& test) { return "Reading" + std::to_string(test.param.tenThousandths); });

TEST(Uptime, CounterQuotientRoundsToFourDecimalsHalfToEven) {
    SimPlatform sim;
    // 1/32 s = 0.03125 and 3/32 s = 0.09375 are exact halves at four decimals.
    sim.clock().SetFrequency(32);
    sim.clock().SetCounter(1);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetUptimeSeconds(), 312);
    sim.clock().SetCounter(3);
    EXPECT_EQ(uptime.GetUptimeSeconds(), 938);
}

TEST(Uptime, ZeroFrequencyIsAFailedReadingWithoutTickFallback) {
    SimPlatform sim;
    sim.clock().SetFrequency(0);
    sim.clock().SetCounter(12345);
    sim.clock().SetTickCount(5'000);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetUptimeSeconds(), kUptimeFailed);
    EXPECT_EQ(uptime.GetUptimeText(), "uptime query failed");
    EXPECT_EQ(sim.log().Count("GetTickCount"), 0u);
}

struct TickCase {
    std::uint32_t ticks;
    std::int64_t expected;  // ten-thousandths, or kUptimeFailed
};

void PrintTo(const TickCase& c, std::ostream* out) {
    *out << c.ticks << " ms";
}

class TickFallbackTest : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickFallbackTest, WholeSecondsOrFailure) {
    SimPlatform sim;
    sim.clock().SetCounterAvailable(false);
    sim.clock().SetTickCount(GetParam().ticks);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetUptimeSeconds(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TickCount, TickFallbackTest,
    ::testing::Values(TickCase{0, 0}, TickCase{999, 0}, TickCase{1'999, 1 * kFixedOne},
                      TickCase{2'147'483'647u, 2'147'483 * kFixedOne},
                      // Past 2^31 ms the count reads negative: no reading ...
                      TickCase{2'147'483'648u, kUptimeFailed},
                      // ... except the last second before the wrap, which truncates to 0.
                      TickCase{4'294'966'296u, kUptimeFailed}, TickCase{4'294'966'297u, 0},
                      TickCase{4'294'967'295u, 0}),
    [](const auto& test) { return "Ticks" + std::to_string(test.param.ticks); });

TEST(Uptime, OverflowWhileSplittingGivesTheFailureText) {
    SimPlatform sim;
    sim.clock().SetFrequency(1);
    sim.clock().SetCounter(2'147'483'648);  // 2^31 seconds, about 68 years
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetUptimeText(), "failed to calculate uptime: Overflow");
    sim.clock().SetCounter(2'147'483'647);
    EXPECT_EQ(uptime.GetUptimeText(), "24855 days, 3:14:07");
}

struct StartCase {
    LocalTime now;
    std::int64_t uptimeSeconds;
    const char* text;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << "up " << c.uptimeSeconds << " s";
}

class StartTimeTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartTimeTest, FormatsStartMoment) {
    SimPlatform sim;
    sim.clock().SetLocalTime(GetParam().now);
    sim.clock().SetFrequency(1);
    sim.clock().SetCounter(GetParam().uptimeSeconds);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetStartTimeText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, StartTimeTest,
    ::testing::Values(StartCase{{2026, 12, 6, 8, 20, 5}, 7'200, "06-Dec-26 6:20:05 am"},
                      StartCase{{2026, 12, 6, 14, 3, 9}, 0, "06-Dec-26 2:03:09 pm"},
                      StartCase{{2026, 12, 7, 0, 20, 0}, 300, "07-Dec-26 12:15:00 am"},
                      StartCase{{2026, 12, 8, 12, 0, 0}, 86'400, "07-Dec-26 12:00:00 pm"},
                      StartCase{{2027, 1, 1, 0, 0, 30}, 60, "31-Dec-26 11:59:30 pm"}),
    [](const auto& test) { return "Up" + std::to_string(test.param.uptimeSeconds) + "Seconds"; });

TEST(Uptime, StartTimeUsesTheLocaleMonthName) {
    SimPlatform sim;
    sim.locale().SetMonthAbbreviations({"janv.", "févr.", "mars", "avr.", "mai", "juin", "juil.",
                                        "août", "sept.", "oct.", "nov.", "déc."});
    sim.clock().SetLocalTime({2026, 2, 3, 10, 0, 0});
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetStartTimeText(), "03-févr.-26 10:00:00 am");
}

TEST(Uptime, StartTimeIsFixedByTheFirstCall) {
    SimPlatform sim;
    sim.clock().SetLocalTime({2026, 12, 6, 14, 3, 9});
    Uptime uptime(sim.clock(), sim.locale());
    const std::string first = uptime.GetStartTimeText();
    sim.clock().AdvanceMs(5'000);
    sim.clock().SetLocalTime({2030, 1, 1, 0, 0, 0});  // the system clock is changed
    EXPECT_EQ(uptime.GetStartTimeText(), first);
    EXPECT_EQ(uptime.GetUptimeText(), "0 days, 0:00:05");
}

TEST(Uptime, FailedFirstStartTimeStaysUnknownForTheRun) {
    SimPlatform sim;
    sim.clock().SetFrequency(0);
    Uptime uptime(sim.clock(), sim.locale());
    EXPECT_EQ(uptime.GetStartTimeText(), "unknown time");
    sim.clock().SetFrequency(10'000'000);
    EXPECT_NE(uptime.GetUptimeText(), "uptime query failed");
    EXPECT_EQ(uptime.GetStartTimeText(), "unknown time");
}

}  // namespace
}  // namespace ww::uptime
