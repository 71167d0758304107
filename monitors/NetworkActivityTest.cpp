#include "monitors/NetworkActivity.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/CaseNames.h"

namespace ww::monitors {
namespace {

using ww::cases::PrintTo;

using Rows = std::vector<platform::InterfaceOctets>;

constexpr std::uint32_t kOk = 0;
constexpr std::uint32_t kNotSupported = 50;
constexpr std::uint32_t kGenFailure = 31;

// One tick: what the table answers, and the flags expected after Update.
struct Sample {
    Rows rows;
    std::uint32_t result;
    bool rx;
    bool tx;
};

struct SamplerCase {
    const char* name;
    std::vector<Sample> samples;
};

void Feed(platform::SimInterfaceTable& table, const Sample& sample) {
    table.SetNotSupported(sample.result == kNotSupported);
    if (sample.result != kOk && sample.result != kNotSupported) {
        table.FailNextRead(sample.result);
    }
    table.SetRows(sample.rows);
}

class NetworkActivitySamples : public ::testing::TestWithParam<SamplerCase> {};

TEST_P(NetworkActivitySamples, FlagsFollowTheTotals) {
    platform::SimPlatform sim;
    NetworkActivity helper(sim.interfaceTable());
    int tick = 0;
    for (const Sample& sample : GetParam().samples) {
        SCOPED_TRACE("tick " + std::to_string(++tick));
        Feed(sim.interfaceTable(), sample);
        helper.Update();
        EXPECT_EQ(helper.Receiving(), sample.rx);
        EXPECT_EQ(helper.Sending(), sample.tx);
    }
    EXPECT_EQ(sim.log().Count("GetIfTable"), GetParam().samples.size());
}

const SamplerCase kSamplerCases[] = {
    {"FirstSampleOnlyStores",
     {{{{100, 200}}, kOk, false, false},
      {{{150, 200}}, kOk, true, false},
      {{{150, 300}}, kOk, false, true},
      {{{160, 310}}, kOk, true, true},
      {{{160, 310}}, kOk, false, false}}},
    {"NoTrafficAtAllLeavesFlagsFalse",
     {{{{0, 0}}, kOk, false, false}, {{{0, 0}}, kOk, false, false}}},
    {"SentZeroWhileReceivedGrowsUpdatesNothing",
     {{{{100, 0}}, kOk, false, false},
      {{{200, 0}}, kOk, false, false},
      {{{300, 5}}, kOk, false, false},
      {{{400, 6}}, kOk, true, true}}},
    {"FallingTotalReadsAsNoActivity",
     {{{{1000, 1000}}, kOk, false, false},
      {{{2000, 2000}}, kOk, true, true},
      {{{500, 2000}}, kOk, false, false}}},
    {"InterfaceGoneReadsAsNoActivity",
     {{{{1000, 1000}, {50, 50}}, kOk, false, false},
      {{{1001, 1001}, {50, 50}}, kOk, true, true},
      {{{1002, 1002}}, kOk, false, false}}},
    {"CounterPassing2Pow31StillGrows",
     {{{{0x7FFF'FFF0, 0x7FFF'FFFF}}, kOk, false, false},
      {{{0x8000'0010, 0x8000'0000}}, kOk, true, true}}},
    {"CounterWrappingPast2Pow32Grows",
     {{{{0xFFFF'FFF0, 0xFFFF'FFFF}}, kOk, false, false},
      {{{0x0000'0010, 0x0000'0001}}, kOk, true, true}}},
    {"SumWrappingPast2Pow32Grows",
     {{{{0xFFFF'FF00, 7}, {0x50, 7}}, kOk, false, false},
      {{{0xFFFF'FF00, 7}, {0x150, 8}}, kOk, true, true}}},
    {"TwoLargeCountersAreBothSummed",
     {{{{0x7000'0000, 1}, {0x7000'0000, 1}}, kOk, false, false},
      {{{0x7000'0000, 1}, {0x7000'0001, 1}}, kOk, true, false}}},
    {"HalfTheRangeForwardIsTheLimit",
     {{{{10, 10}}, kOk, false, false},
      {{{10u + 0x7FFF'FFFFu, 10u + 0x8000'0000u}}, kOk, true, false}}},
    {"NotSupportedKeepsFlagsAndPreviousTotals",
     {{{{100, 100}}, kOk, false, false},
      {{{200, 200}}, kOk, true, true},
      {{{900, 900}}, kNotSupported, true, true},
      {{{250, 200}}, kOk, true, false}}},
    {"NotSupportedFromTheStart",
     {{{{100, 100}}, kNotSupported, false, false},
      {{{200, 200}}, kNotSupported, false, false},
      {{{300, 300}}, kOk, false, false},
      {{{400, 300}}, kOk, true, false}}},
    {"FailedReadClearsFlagsThenRestarts",
     {{{{100, 100}}, kOk, false, false},
      {{{200, 200}}, kOk, true, true},
      {{{900, 900}}, kGenFailure, false, false},
      {{{300, 300}}, kOk, false, false},
      {{{400, 400}}, kOk, true, true}}},
    {"FailedReadAfterLargeTotalsIsNoActivity",
     {{{{0x9000'0000, 0x9000'0000}}, kOk, false, false},
      {{{0x9000'0001, 0x9000'0001}}, kOk, true, true},
      {{{1, 1}}, kGenFailure, false, false}}},
};

INSTANTIATE_TEST_SUITE_P(Ticks, NetworkActivitySamples, ::testing::ValuesIn(kSamplerCases),
                         cases::CaseName{});

Rows FortyFiveRows() {
    Rows rows;
    for (std::uint32_t i = 0; i < 45; ++i) {
        rows.push_back({1000 * (i + 1), 7 * (i + 1)});
    }
    return rows;
}

TEST(NetworkActivity, SumsEveryRowOfAFortyFiveRowTable) {
    platform::SimPlatform sim;
    NetworkActivity helper(sim.interfaceTable());
    sim.interfaceTable().SetRows(FortyFiveRows());
    helper.Update();
    EXPECT_EQ(helper.BytesReceived(), 1000u * 45 * 46 / 2);
    EXPECT_EQ(helper.BytesSent(), 7u * 45 * 46 / 2);

    sim.interfaceTable().Rows()[44].inOctets += 1;  // only the last row moves
    helper.Update();
    EXPECT_TRUE(helper.Receiving());
    EXPECT_FALSE(helper.Sending());

    sim.interfaceTable().Rows()[0].outOctets += 1;  // only the first row moves
    helper.Update();
    EXPECT_FALSE(helper.Receiving());
    EXPECT_TRUE(helper.Sending());
}

TEST(NetworkActivity, TotalsAreZeroAfterAFailedOrUnsupportedRead) {
    platform::SimPlatform sim;
    NetworkActivity helper(sim.interfaceTable());
    sim.interfaceTable().SetRows({{5, 6}});
    helper.Update();
    EXPECT_EQ(helper.BytesReceived(), 5u);
    sim.interfaceTable().FailNextRead(kGenFailure);
    helper.Update();
    EXPECT_EQ(helper.BytesReceived(), 0u);
    EXPECT_EQ(helper.BytesSent(), 0u);
    helper.Update();
    sim.interfaceTable().SetNotSupported(true);
    helper.Update();
    EXPECT_EQ(helper.BytesReceived(), 0u);
    EXPECT_EQ(helper.BytesSent(), 0u);
}

}  // namespace
}  // namespace ww::monitors
