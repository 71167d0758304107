#include "platform/formats/ProcMeminfo.h"
#include "tests/support/CaseNames.h"

#include <gtest/gtest.h>

#include <string>

namespace ww::platform {
namespace {

using ww::cases::PrintTo;

struct MeminfoCase {
    const char* name;
    std::string text;
    std::optional<std::uint64_t> bytes;
};

class ParseCommittedAsCases : public ::testing::TestWithParam<MeminfoCase> {};

TEST_P(ParseCommittedAsCases, GivesTheBytes) {
    EXPECT_EQ(ParseCommittedAs(GetParam().text), GetParam().bytes);
}

const MeminfoCase kMeminfoCases[] = {
    {"TypicalFile",
     "MemTotal:       16309000 kB\n"
     "MemFree:         1000000 kB\n"
     "CommitLimit:     8154500 kB\n"
     "Committed_AS:    1500 kB\n"
     "VmallocTotal:   34359738367 kB\n",
     1'536'000},
    {"LastLineWithoutNewline", "MemTotal: 1 kB\nCommitted_AS: 2 kB", 2048},
    {"TabsAndCarriageReturn", "Committed_AS:\t\t3 kB \r\n", 3072},
    {"Zero", "Committed_AS: 0 kB\n", 0},
    {"LargestThatFits", "Committed_AS: 18014398509481983 kB\n", 18014398509481983ULL * 1024},
    {"BytesOverflow", "Committed_AS: 18014398509481984 kB\n", std::nullopt},
    {"DigitsOverflow", "Committed_AS: 99999999999999999999999 kB\n", std::nullopt},
    {"Missing", "MemTotal: 1 kB\nCommitLimit: 2 kB\n", std::nullopt},
    {"Empty", "", std::nullopt},
    {"NoDigits", "Committed_AS:  kB\n", std::nullopt},
    {"NoUnit", "Committed_AS: 12\n", std::nullopt},
    {"OtherUnit", "Committed_AS: 12 MB\n", std::nullopt},
    {"Negative", "Committed_AS: -12 kB\n", std::nullopt},
    {"TrailingJunk", "Committed_AS: 12 kB x\n", std::nullopt},
    {"KeyNotAtLineStart", " Committed_AS: 12 kB\n", std::nullopt},
    {"KeyPrefixOnly", "Committed_ASx: 12 kB\nCommitted_AS", std::nullopt},
    {"NulInValue", std::string("Committed_AS: 1\0 kB\n", 20), std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Texts, ParseCommittedAsCases, ::testing::ValuesIn(kMeminfoCases),
                         cases::CaseName{});

}  // namespace
}  // namespace ww::platform
