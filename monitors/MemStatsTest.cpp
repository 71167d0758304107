#include "monitors/MemStats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/CaseNames.h"

namespace ww::monitors {
namespace {

using ww::cases::PrintTo;

struct TextCase {
    const char* name;
    std::uint64_t total;
    std::uint64_t available;
    const char* separator;
    const char* text;
};

class MemoryTextNt5 : public ::testing::TestWithParam<TextCase> {};

TEST_P(MemoryTextNt5, FormatsCommittedKibibytes) {
    platform::SimPlatform sim;
    platform::MemoryStatusEx status;
    status.ullTotalPageFile = GetParam().total;
    status.ullAvailPageFile = GetParam().available;
    sim.memory().SetStatusEx(status);
    sim.locale().SetThousandsSeparator(GetParam().separator);
    ComputerIdentity computer;
    computer.IsNT5OrLater = true;
    EXPECT_EQ(GetMemoryUsageText(sim.memory(), sim.locale(), computer), GetParam().text);
    EXPECT_EQ(sim.log().WithPrefix("GlobalMemoryStatus"),
              std::vector<std::string>{"GlobalMemoryStatusEx"});
}

constexpr std::uint64_t kLimit = 922'337'203'685'477ULL;

const TextCase kNt5Cases[] = {
    {"FifteenHundredKib", 1'536'000, 0, ",", "1,500 K"},
    {"LocaleSeparatorDot", 1'536'000, 0, ".", "1.500 K"},
    {"LocaleSeparatorNoBreakSpace", 1'536'000, 0, "\u00A0", "1\u00A0500 K"},
    {"LocaleWithoutSeparator", 1'536'000, 0, "", "1500 K"},
    {"TotalMinusAvailable", 3'000'000, 1'464'000, ",", "1,500 K"},
    {"JustUnderHalfRoundsDown", 1535, 0, ",", "1 K"},
    {"HalfGoesToEvenBelow", 2560, 0, ",", "2 K"},
    {"HalfGoesToEvenAbove", 3584, 0, ",", "4 K"},
    {"ZeroWritesNoDigits", 0, 0, ",", " K"},
    {"UnderHalfKibIsZero", 512, 0, ",", " K"},
    {"NegativeKeepsItsSign", 0, 1'536'000, ",", "-1,500 K"},
    {"NegativeHalfGoesToEven", 0, 2560, ",", "-2 K"},
    {"NineDigits", 1'073'741'824, 0, ",", "1,048,576 K"},
    {"LargestInt32Kib", 2'147'483'647ULL * 1024, 0, ",", "2,147,483,647 K"},
    {"BeyondInt32Kib", 2'147'483'648ULL * 1024, 0, ",", "memory query failed"},
    {"NegativeInt32Kib", 0, 2'147'483'648ULL * 1024, ",", "-2,147,483,648 K"},
    {"TotalBeyondExactLimit", kLimit + 1, kLimit, ",", "memory query failed"},
    {"AvailableBeyondExactLimit", kLimit, kLimit + 1, ",", "memory query failed"},
    {"AllOnes", ~0ULL, 0, ",", "memory query failed"},
};

INSTANTIATE_TEST_SUITE_P(Figures, MemoryTextNt5, ::testing::ValuesIn(kNt5Cases), cases::CaseName{});

struct ShortCase {
    const char* name;
    std::uint32_t total;
    std::uint32_t available;
    const char* text;
};

class MemoryTextOlder : public ::testing::TestWithParam<ShortCase> {};

TEST_P(MemoryTextOlder, UsesOnlyTheShortRecord) {
    platform::SimPlatform sim;
    platform::MemoryStatus status;
    status.dwTotalPageFile = GetParam().total;
    status.dwAvailPageFile = GetParam().available;
    sim.memory().SetStatus(status);
    ComputerIdentity computer;  // IsNT5OrLater false
    EXPECT_EQ(GetMemoryUsageText(sim.memory(), sim.locale(), computer), GetParam().text);
    EXPECT_EQ(sim.log().Count("GlobalMemoryStatusEx"), 0u);
    EXPECT_EQ(sim.log().Count("GlobalMemoryStatus"), 1u);
}

const ShortCase kOlderCases[] = {
    {"FifteenHundredKib", 1'536'000, 0, "1,500 K"},
    {"TotalMinusAvailable", 100'000'000, 98'464'000, "1,500 K"},
    {"HalfGoesToEven", 2560, 0, "2 K"},
    {"Zero", 4096, 4096, " K"},
    {"Negative", 0, 1'536'000, "-1,500 K"},
    // The fields are signed: 3 GiB reads as -1 GiB.
    {"FieldsAreSigned", 0xC000'0000u, 0, "-1,048,576 K"},
    {"SignedDifferenceOverflows", 0x7FFF'FFFFu, 0x8000'0000u, "memory query failed"},
    {"SignedDifferenceAtTheEdge", 0x7FFF'FFFFu, 0, "2,097,152 K"},
};

INSTANTIATE_TEST_SUITE_P(Figures, MemoryTextOlder, ::testing::ValuesIn(kOlderCases),
                         cases::CaseName{});

TEST(MemoryText, FailedExCallGivesTheFailureTextNotZero) {
    platform::SimPlatform sim;
    sim.memory().SetStatusExFails(true);
    ComputerIdentity computer;
    computer.IsNT5OrLater = true;
    EXPECT_EQ(GetMemoryUsageText(sim.memory(), sim.locale(), computer), "memory query failed");
}

TEST(MemoryText, SetsTheRecordLengths) {
    // The sim hands back the caller's dwLength; check it through a recording port.
    struct LengthMemory : platform::SimMemory {
        using SimMemory::SimMemory;
        bool GlobalMemoryStatusEx(platform::MemoryStatusEx& status) override {
            exLength = status.dwLength;
            return SimMemory::GlobalMemoryStatusEx(status);
        }
        void GlobalMemoryStatus(platform::MemoryStatus& status) override {
            shortLength = status.dwLength;
            SimMemory::GlobalMemoryStatus(status);
        }
        std::uint32_t exLength = 0;
        std::uint32_t shortLength = 0;
    };
    platform::SimLog log;
    platform::SimLocale locale(log);
    LengthMemory memory(log);
    ComputerIdentity computer;
    GetMemoryUsageText(memory, locale, computer);
    computer.IsNT5OrLater = true;
    GetMemoryUsageText(memory, locale, computer);
    EXPECT_EQ(memory.exLength, 64u);
    EXPECT_EQ(memory.shortLength, 32u);
}

struct TrimCase {
    const char* name;
    bool openFails;
    std::vector<std::string> calls;
    int trims;
};

class TrimWorkingSetCalls : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimWorkingSetCalls, MakesEveryStepWhateverTheAnswers) {
    platform::SimPlatform sim;
    sim.memory().SetOpenProcessFails(GetParam().openFails);
    TrimWorkingSet(sim.memory());
    EXPECT_EQ(sim.log().Entries(), GetParam().calls);
    EXPECT_EQ(sim.memory().TrimCount(), GetParam().trims);
    EXPECT_EQ(sim.memory().OpenHandleCount(), 0u);
}

const TrimCase kTrimCases[] = {
    {"Trims",
     false,
     {"GetCurrentProcessId", "OpenProcess(0x1F0FFF, 0, 4242)", "SetProcessWorkingSetSize(-1, -1)",
      "CloseHandle(2049)"},
     1},
    {"RefusedHandleIsIgnored",
     true,
     {"GetCurrentProcessId", "OpenProcess(0x1F0FFF, 0, 4242)", "SetProcessWorkingSetSize(-1, -1)",
      "CloseHandle(0)"},
     0},
};

INSTANTIATE_TEST_SUITE_P(Answers, TrimWorkingSetCalls, ::testing::ValuesIn(kTrimCases),
                         cases::CaseName{});

}  // namespace
}  // namespace ww::monitors
