#include "monitors/CPULoad.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/CaseNames.h"

namespace ww::monitors {
namespace {

using ww::cases::PrintTo;

using platform::ProcessorInstance;

constexpr std::uint64_t kT0 = platform::SimProcessorLoad::kDefaultTime;
constexpr std::uint64_t kSecond = 10'000'000;
constexpr std::int64_t kLongIdle = 36'000'000'000'000;  // an hour of idle time

constexpr std::int32_t kPlatformNt = 2;
constexpr std::int32_t kPlatform9x = 1;

// One refresh: what the performance data answers, and the text shown. The
// first step is the first refresh, measured from the system's start; for a
// Baseline step nothing shown is checked.
struct Step {
    std::int32_t error;  // 0: the sample below
    std::uint64_t time;
    std::vector<ProcessorInstance> instances;
    std::string text;
    std::uint64_t bootTime = 0;  // unknown
};

// Processors 0, 1, ... with these idle times, then the instance of all
// processors together (with a value no processor could have).
Step Idle(std::uint64_t time, const std::vector<std::int64_t>& idle, std::string text) {
    Step step{0, time, {}, std::move(text)};
    for (std::size_t i = 0; i < idle.size(); ++i) {
        step.instances.push_back({static_cast<std::int32_t>(i), idle[i]});
    }
    step.instances.push_back({-1, std::numeric_limits<std::int64_t>::min()});
    return step;
}

Step Raw(std::uint64_t time, std::vector<ProcessorInstance> instances, std::string text) {
    return {0, time, std::move(instances), std::move(text)};
}

Step Error(std::int32_t number) {
    return {number, 0, {}, "CPU query failed"};
}

Step Baseline(Step step) {
    step.text.clear();
    return step;
}

Step BootedAt(std::uint64_t bootTime, Step step) {
    step.bootTime = bootTime;
    return step;
}

struct TextCase {
    const char* name;
    std::uint32_t processors;
    std::vector<Step> steps;
};

class CpuText : public ::testing::TestWithParam<TextCase> {};

TEST_P(CpuText, FollowsTheSamples) {
    platform::SimPlatform sim;
    sim.processorLoad().SetProcessorCount(GetParam().processors);
    std::unique_ptr<CPULoad> load;
    int refresh = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE("refresh " + std::to_string(refresh));
        if (step.error != 0) {
            sim.processorLoad().QueueError(step.error);
        } else {
            sim.processorLoad().QueueSample({step.time, step.instances, step.bootTime});
        }
        if (refresh++ == 0) {
            load = std::make_unique<CPULoad>(sim.identity(), sim.processorLoad());
            EXPECT_EQ(sim.processorLoad().QueuedAnswers(), 1U) << "a sample at creation";
            const std::string first = load->CPUString();
            if (!step.text.empty()) {
                EXPECT_EQ(first, step.text);
            }
            continue;
        }
        EXPECT_EQ(load->CPUString(), step.text);
    }
    EXPECT_EQ(sim.log().Count("GetSystemInfo"), 1U);
    EXPECT_EQ(sim.log().Count("StartStatistic"), 0U);
}

const TextCase kTextCases[] = {
    {"OneProcessorHasABlankBeforePercent",
     1,
     {Baseline(Idle(kT0, {kLongIdle}, "")), Idle(kT0 + kSecond, {kLongIdle + 9'300'000}, "07 %")}},
    {"TwoProcessors",
     2,
     {Baseline(Idle(kT0, {kLongIdle, kLongIdle}, "")),
      Idle(kT0 + kSecond, {kLongIdle + 9'300'000, kLongIdle + 6'500'000}, "07% 35%")}},
    {"ThreeProcessorsWithAHundred",
     3,
     {Baseline(Idle(kT0, {0, 0, 0}, "")),
      Idle(kT0 + 2 * kSecond, {0, 19'000'000, 11'600'000}, "100% 05% 42%")}},
    // The first refresh, however soon after the window opened, reads the
    // average since the start; each later one the time since the one before.
    {"FirstRefreshIsTheAverageSinceTheSystemStarted",
     2,
     {BootedAt(kT0 - 100 * kSecond, Idle(kT0, {25 * kSecond, 100 * kSecond}, "75% 00%")),
      Idle(kT0 + kSecond, {25 * kSecond + 5'000'000, 100 * kSecond + kSecond}, "50% 00%")}},
    {"FirstRefreshBusySinceTheStart",
     1,
     {BootedAt(kT0 - kSecond, Idle(kT0, {0}, "100 %")), Idle(kT0 + kSecond, {kSecond}, "00 %")}},
    {"WithoutTheStartTimeTheFirstRefreshReadsZero",
     1,
     {Idle(kT0, {kLongIdle}, "00 %"), Idle(kT0 + kSecond, {kLongIdle + 2'500'000}, "75 %")}},
    {"StartTimeNotBeforeTheSampleIsUnknown",
     1,
     {BootedAt(kT0, Idle(kT0, {0}, "00 %")), Idle(kT0 + kSecond, {2'500'000}, "75 %")}},
    {"SecondRefreshMeasuresFromTheFirst",
     2,
     {Baseline(Idle(kT0, {kLongIdle, kLongIdle}, "")),
      Idle(kT0 + kSecond, {kLongIdle + 2'500'000, kLongIdle + kSecond}, "75% 00%")}},
    {"SecondRefreshAtTheSameTimeIsNotAFullLoad",
     2,
     {Baseline(Idle(kT0, {kLongIdle, kLongIdle}, "")),
      Idle(kT0, {kLongIdle, kLongIdle}, "00% 00%")}},
    {"FailedFirstRefreshLeavesTheNextWithoutAnInterval",
     1,
     {Error(platform::perferr::kUnreadable), Idle(kT0, {0}, "00 %"),
      Idle(kT0 + kSecond, {5'000'000}, "50 %")}},
    {"LaterReadingsUseTheRealInterval",
     1,
     {Baseline(Idle(kT0, {5}, "")), Idle(kT0 + kSecond, {5 + 5'000'000}, "50 %"),
      Idle(kT0 + 3 * kSecond, {5 + 5'000'000 + 15'000'000}, "25 %")}},
    {"SameSystemTimeReadsZero",
     1,
     {Baseline(Idle(kT0, {0}, "")), Idle(kT0 + kSecond, {0}, "100 %"),
      Idle(kT0 + kSecond, {1}, "00 %")}},
    {"IdleFasterThanTheClockIsZeroNotNegative",
     2,
     {Baseline(Idle(kT0, {0, 0}, "")), Idle(kT0 + kSecond, {10'500'000, 30'000'000}, "00% 00%")}},
    {"IdleGoingBackIsAHundredAtMost",
     1,
     {Baseline(Idle(kT0, {kLongIdle}, "")), Idle(kT0 + kSecond, {0}, "100 %")}},
    {"HalvesGoToTheEvenNeighbour",
     2,
     {Baseline(Idle(kT0, {0, 0}, "")), Idle(kT0 + 80'000, {70'000, 50'000}, "12% 38%"),
      Idle(kT0 + 160'000, {140'000, 100'000}, "12% 38%")}},
    {"TotalInstanceNeverCounted",
     1,
     {Baseline(Raw(kT0, {{-1, 99}, {0, 0}, {-1, -5}}, "")),
      Raw(kT0 + kSecond, {{-1, 0}, {0, 2'000'000}}, "80 %")}},
    {"InstancesInAnyOrder",
     2,
     {Baseline(Raw(kT0, {{1, 0}, {0, 0}}, "")),
      Raw(kT0 + kSecond, {{1, 1'000'000}, {0, 4'000'000}}, "60% 90%")}},
    {"MoreInstancesThanProcessorsFails",
     1,
     {Baseline(Idle(kT0, {0, 0}, "")), Idle(kT0 + kSecond, {0, 0}, "CPU query failed")}},
    {"InstanceBelowZeroFails",
     2,
     {Baseline(Raw(kT0, {{0, 0}}, "")), Raw(kT0 + kSecond, {{0, 0}, {-2, 0}}, "CPU query failed")}},
    {"DataErrorsFailThatRefreshOnly",
     1,
     {Baseline(Idle(kT0, {0}, "")), Error(platform::perferr::kObjectMissing),
      Error(platform::perferr::kCounterMissing), Error(platform::perferr::kUnreadable),
      Idle(kT0 + 2 * kSecond, {10'000'000}, "50 %")}},
    {"CounterDifferenceOverflowFails",
     1,
     {Baseline(Idle(kT0, {-1}, "")),
      Idle(kT0 + kSecond, {std::numeric_limits<std::int64_t>::max()}, "CPU query failed")}},
    {"SampleTimeBeyond64BitSignedFails",
     1,
     {Baseline(Idle(kT0, {0}, "")), Idle(~0ULL, {0}, "CPU query failed")}},
};

INSTANTIATE_TEST_SUITE_P(Samples, CpuText, ::testing::ValuesIn(kTextCases), cases::CaseName{});

// --- the error table ---------------------------------------------------------

struct ErrorCase {
    const char* name;
    std::int32_t platformId;
    std::function<void(platform::SimPlatform&)> act;
    std::int32_t number;
    const char* source;
    const char* description;
};

class CpuErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CpuErrors, CarryNumberSourceAndDescription) {
    platform::SimPlatform sim;
    sim.identity().SetPlatform(static_cast<std::uint32_t>(GetParam().platformId), 4, 0);
    try {
        GetParam().act(sim);
        FAIL() << "no error raised";
    } catch (const CpuLoadError& error) {
        EXPECT_EQ(error.Number(), GetParam().number);
        EXPECT_EQ(error.Source(), GetParam().source);
        EXPECT_EQ(error.Description(), GetParam().description);
    }
}

void Construct(platform::SimPlatform& sim) {
    sim.identity().SetVersionFails(true);
    CPULoad load(sim.identity(), sim.processorLoad());
}

std::function<void(platform::SimPlatform&)> Usage(std::int32_t index) {
    return [index](platform::SimPlatform& sim) {
        sim.processorLoad().SetProcessorCount(2);
        CPULoad load(sim.identity(), sim.processorLoad());
        load.GetCPUUsage(index);
    };
}

std::function<void(platform::SimPlatform&)> Collect(
    std::function<void(platform::SimPlatform&)> setup) {
    return [setup](platform::SimPlatform& sim) {
        setup(sim);
        CPULoad load(sim.identity(), sim.processorLoad());
        load.CollectCPUData();
    };
}

// The answer of the sample after the one taken at creation.
std::function<void(platform::SimPlatform&)> DataError(std::int32_t number) {
    return [number](platform::SimPlatform& sim) {
        CPULoad load(sim.identity(), sim.processorLoad());
        sim.processorLoad().QueueError(number);
        load.CollectCPUData();
    };
}

constexpr const char* kIndexText = "CPU index out of bounds";
constexpr const char* kDataText = "Unable to read performance data";

const ErrorCase kErrorCases[] = {
    {"VersionUnknown", kPlatformNt, Construct, -2147213503, "CPULoad.Initialize",
     "Can't get the Windows version"},
    {"StatisticWillNotStart", kPlatform9x,
     Collect([](platform::SimPlatform& sim) { sim.processorLoad().SetStartFails(true); }),
     -2147213502, "CPULoad.CollectCPRData()", "Unable to start performance monitoring"},
    {"ProcessorZero", kPlatformNt, Usage(0), -2147213501, "CPULoad.GetCPUUsage()", kIndexText},
    {"ProcessorCountPlusOne", kPlatformNt, Usage(3), -2147213501, "CPULoad.GetCPUUsage()",
     kIndexText},
    {"ProcessorNegative", kPlatformNt, Usage(std::numeric_limits<std::int32_t>::min()), -2147213501,
     "CPULoad.GetCPUUsage()", kIndexText},
    {"SecondProcessorOn9x", kPlatform9x, Usage(2), -2147213501, "CPULoad.GetCPUUsage()",
     kIndexText},
    {"ProcessorZeroOn9x", kPlatform9x, Usage(0), -2147213501, "CPULoad.GetCPUUsage()", kIndexText},
    {"NoProcessorObject", kPlatformNt, DataError(8004), -2147213500, "CPULoad.CollectData",
     "Unable to locate the 'Processor' performance object"},
    {"NoProcessorTimeCounter", kPlatformNt, DataError(8005), -2147213499, "CPULoad.CollectData",
     "Unable to locate the '% of CPU usage' performance counter"},
    {"NoPerfSignature", kPlatformNt, DataError(8006), -2147213498, "CPULoad.CollectCPUData()",
     kDataText},
    {"StatisticDataWillNotOpen", kPlatform9x,
     Collect([](platform::SimPlatform& sim) { sim.processorLoad().SetOpenDataFails(true); }),
     -2147213498, "CPULoad.CollectCPUData()", kDataText},
};

INSTANTIATE_TEST_SUITE_P(Table, CpuErrors, ::testing::ValuesIn(kErrorCases), cases::CaseName{});

TEST(CpuLoadError, NumbersAreTheUserErrorBasePlusTheirCode) {
    for (std::int32_t code = 8001; code <= 8006; ++code) {
        const CpuLoadError error(code);
        EXPECT_EQ(error.Code(), code);
        EXPECT_EQ(static_cast<std::uint32_t>(error.Number()),
                  0x8004'0000u + static_cast<std::uint32_t>(code));
        EXPECT_EQ(error.Description(), error.what());
    }
}

TEST(CPULoad, FirstUsageAskedBeforeAnySampleTakesOne) {
    platform::SimPlatform sim;
    CPULoad load(sim.identity(), sim.processorLoad());
    EXPECT_EQ(load.GetCPUUsage(1), 0);
    EXPECT_EQ(sim.log().Count("QueryProcessorSample"), 1U);
    EXPECT_FALSE(load.CollectCPUData());
}

// --- the 95/98/Me statistic ----------------------------------------------------

struct Statistic9x : ::testing::Test {
    Statistic9x() { sim.identity().SetPlatform(1, 4, 10); }
    platform::SimPlatform sim;
    platform::SimProcessorLoad& stat = sim.processorLoad();
};

TEST_F(Statistic9x, StartedOncePerObjectAndStoppedAtItsEnd) {
    {
        CPULoad load(sim.identity(), stat);
        stat.SetValue(42);
        EXPECT_EQ(load.CPUString(), "42 %");
        stat.SetValue(7);
        EXPECT_EQ(load.CPUString(), "07 %");
        stat.SetValue(0);
        EXPECT_EQ(load.CPUString(), "00 %");
        EXPECT_TRUE(stat.StatisticRunning());
    }
    // Started at creation, so the first refresh reads a figure measured since.
    EXPECT_EQ(sim.log().Entries(),
              (std::vector<std::string>{"GetVersionExA", "StartStatistic", "OpenStatisticData",
                                        "ReadStatistic", "ReadStatistic", "GetSystemInfo",
                                        "ReadStatistic", "ReadStatistic", "CloseStatisticData",
                                        "StopStatistic"}));
    EXPECT_FALSE(stat.StatisticRunning());

    CPULoad second(sim.identity(), stat);
    EXPECT_EQ(second.CPUString(), "00 %");
    EXPECT_EQ(stat.StartCount(), 2);
}

TEST_F(Statistic9x, NeverRefreshedStillStoppedAtItsEnd) {
    { CPULoad load(sim.identity(), stat); }
    EXPECT_EQ(sim.log().Entries(),
              (std::vector<std::string>{"GetVersionExA", "StartStatistic", "OpenStatisticData",
                                        "ReadStatistic", "CloseStatisticData", "StopStatistic"}));
    EXPECT_FALSE(stat.StatisticRunning());
}

TEST_F(Statistic9x, StopSkippedWhenTheStopKeyCannotBeOpened) {
    {
        CPULoad load(sim.identity(), stat);
        load.CollectCPUData();
        stat.SetStopOpenFails(true);
    }
    EXPECT_EQ(stat.CloseCount(), 1);
    EXPECT_EQ(stat.StopCount(), 0);
    EXPECT_EQ(sim.log().Count("StopStatistic"), 1U);
}

TEST_F(Statistic9x, FailedStartIsTriedAgainAndNeverStopped) {
    {
        stat.SetStartFails(true);
        CPULoad load(sim.identity(), stat);
        EXPECT_EQ(load.CPUString(), "CPU query failed");
        EXPECT_EQ(load.CPUString(), "CPU query failed");
        EXPECT_EQ(sim.log().Count("StartStatistic"), 3U);
        EXPECT_EQ(sim.log().Count("OpenStatisticData"), 0U);
    }
    EXPECT_EQ(sim.log().Count("StopStatistic"), 0U);
    {
        stat.SetStartFails(false);
        stat.SetOpenDataFails(true);
        CPULoad load(sim.identity(), stat);
        EXPECT_EQ(load.CPUString(), "CPU query failed");
        stat.SetOpenDataFails(false);
        stat.SetValue(55);
        EXPECT_EQ(load.CPUString(), "55 %");
    }
    EXPECT_EQ(stat.StartCount(), 3);  // the statistic data key failed twice
    EXPECT_EQ(stat.StopCount(), 1);
}

TEST_F(Statistic9x, ValueKeptWithinZeroToAHundred) {
    CPULoad load(sim.identity(), stat);
    stat.SetValue(-5);
    EXPECT_EQ(load.CPUString(), "00 %");
    stat.SetValue(250);
    EXPECT_EQ(load.CPUString(), "100 %");
}

TEST_F(Statistic9x, MoreThanOneProcessorFails) {
    stat.SetProcessorCount(2);
    CPULoad load(sim.identity(), stat);
    EXPECT_EQ(load.CPUString(), "CPU query failed");
}

TEST(CPULoad, NtPathNeverTouchesTheStatistic) {
    platform::SimPlatform sim;
    {
        CPULoad load(sim.identity(), sim.processorLoad());
        load.CPUString();
    }
    // No sample at creation: the first refresh's is the first.
    EXPECT_EQ(sim.log().Entries(),
              (std::vector<std::string>{"GetVersionExA", "QueryProcessorSample", "GetSystemInfo"}));
}

}  // namespace
}  // namespace ww::monitors
