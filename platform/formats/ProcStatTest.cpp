#include "platform/formats/ProcStat.h"
#include "tests/support/CaseNames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ww::platform {
namespace {

using ww::cases::PrintTo;

using Pairs = std::vector<std::pair<std::int32_t, std::uint64_t>>;

Pairs PairsOf(const std::vector<ProcStatCpu>& cpus) {
    Pairs pairs;
    for (const ProcStatCpu& cpu : cpus) {
        pairs.emplace_back(cpu.index, cpu.idleTicks);
    }
    return pairs;
}

struct StatCase {
    const char* name;
    std::string text;
    Pairs cpus;
};

class ParseProcStatCases : public ::testing::TestWithParam<StatCase> {};

TEST_P(ParseProcStatCases, GivesIdlePlusIowait) {
    std::vector<ProcStatCpu> cpus = {{7, 7}};  // stale content is replaced
    ParseProcStat(GetParam().text, cpus);
    EXPECT_EQ(PairsOf(cpus), GetParam().cpus);
}

const StatCase kStatCases[] = {
    {"TypicalFile",
     "cpu  10132153 290696 3084719 46828483 16683 0 25195 0 0 0\n"
     "cpu0 1393280 32966 572056 13343292 6130 0 17875 0 0 0\n"
     "cpu1 1335807 27541 485916 11218740 4521 0 2431 0 0 0\n"
     "intr 1462898 36 0 0 0 0 0 0 0 1 0 0 0 0\n"
     "ctxt 115315136\n"
     "btime 1769000000\n"
     "processes 86031\n"
     "procs_running 6\n"
     "softirq 12345 0 1 2 3 4 5 6 7 8 9\n",
     {{-1, 46828483 + 16683}, {0, 13343292 + 6130}, {1, 11218740 + 4521}}},
    {"OldKernelWithoutIowait", "cpu 1 2 3 40\ncpu0 1 2 3 40\n", {{-1, 40}, {0, 40}}},
    {"GapsInNumberingKept",
     "cpu0 0 0 0 5 1\ncpu3 0 0 0 6 1\ncpu12 0 0 0 7 1",
     {{0, 6}, {3, 7}, {12, 8}}},
    {"TabsCarriageReturnNoFinalNewline", "cpu0\t1\t2 3\t4 5\r\ncpu1 1 2 3 4 5\r", {{0, 9}, {1, 9}}},
    {"HugeNumberSaturates", "cpu99999999999 0 0 0 1 1\n", {{2'147'483'647, 2}}},
    {"LeadingZeros", "cpu007 0 0 0 01 0\n", {{7, 1}}},
    {"LargestSum", "cpu0 0 0 0 18446744073709551614 1\n", {{0, 18446744073709551615ULL}}},
    {"SumOverflows", "cpu0 0 0 0 18446744073709551615 1\n", {}},
    {"NumberOverflows", "cpu0 0 0 0 18446744073709551616 0\n", {}},
    {"TooFewFields", "cpu0 1 2 3\ncpu1\n", {}},
    {"NonDigitField", "cpu0 1 2 3 4 x\ncpu1 1 2 -3 4 5\ncpu2 1 2 3 4 5\n", {{2, 9}}},
    {"OtherNames", "cpux 1 2 3 4\ncpu-1 1 2 3 4\ncpufreq 1 2 3 4\nCPU0 1 2 3 4\n", {}},
    {"NotAtLineStart", " cpu0 1 2 3 4 5\n", {}},
    {"NulInsideAField", std::string("cpu0 1 2 3 4\0 5\ncpu1 1 2 3 4 5\n", 31), {{1, 9}}},
    {"Empty", "", {}},
    {"OnlyNewlines", "\n\n\n", {}},
};

INSTANTIATE_TEST_SUITE_P(Texts, ParseProcStatCases, ::testing::ValuesIn(kStatCases),
                         cases::CaseName{});

// Random bytes rich in the characters the parser looks for: it must neither
// crash nor read out of bounds (the sanitizer watches), and what it returns
// must be lines it was given.
TEST(ParseProcStat, AcceptsArbitraryBytes) {
    const std::string alphabet = std::string("cpu0123456789 \t\r\nx-") + '\0' + "\xff";
    std::uint32_t state = 12345;
    std::vector<ProcStatCpu> cpus;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const std::size_t length = (state >> 8) % 200;
        for (std::size_t i = 0; i < length; ++i) {
            state = state * 1'103'515'245u + 12345u;
            text += alphabet[(state >> 16) % alphabet.size()];
        }
        const std::string exact = text;  // exactly sized for the sanitizer
        ParseProcStat(exact, cpus);
        EXPECT_LE(cpus.size(), exact.size() / 8 + 1);
    }
}

struct TickCase {
    const char* name;
    std::uint64_t ticks;
    std::int64_t hz;
    std::optional<std::int64_t> units;
};

class TickCases : public ::testing::TestWithParam<TickCase> {};

TEST_P(TickCases, ConvertExactly) {
    EXPECT_EQ(TicksToHundredNanoseconds(GetParam().ticks, GetParam().hz), GetParam().units);
}

const TickCase kTickCases[] = {
    {"Zero", 0, 100, 0},
    {"OneTick", 1, 100, 100'000},
    {"Many", 12'345, 100, 1'234'500'000},
    {"RoundsDown", 1, 300, 33'333},
    {"ThreeHundredths", 3, 300, 100'000},
    {"NoRoundingLossOnLargeCounts", 1'000'000'007, 1024, 9'765'625'068'359},
    {"LargestThatFits", 922'337'203'685, 1, 9'223'372'036'850'000'000},
    {"PassesInt64", 922'337'203'686, 1, std::nullopt},
    {"AllOnes", ~0ULL, 100, std::nullopt},
    {"HzZero", 5, 0, std::nullopt},
    {"HzNegative", 5, -100, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Ticks, TickCases, ::testing::ValuesIn(kTickCases), cases::CaseName{});

}  // namespace
}  // namespace ww::platform
