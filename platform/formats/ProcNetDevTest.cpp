#include "platform/formats/ProcNetDev.h"
#include "tests/support/CaseNames.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ww::platform {
namespace {

using ww::cases::PrintTo;

using Rows = std::vector<InterfaceOctets>;

// Pairs print readably when a comparison fails.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Pairs(const Rows& rows) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const InterfaceOctets& row : rows) {
        pairs.emplace_back(row.inOctets, row.outOctets);
    }
    return pairs;
}

constexpr const char* kHeader =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs "
    "drop fifo colls carrier compressed\n";

struct DevCase {
    const char* name;
    std::string text;
    Rows rows;
};

class ParseProcNetDevCases : public ::testing::TestWithParam<DevCase> {};

TEST_P(ParseProcNetDevCases, GivesTheRows) {
    Rows rows = {{9, 9}};  // stale content is replaced
    ParseProcNetDev(GetParam().text, rows);
    EXPECT_EQ(Pairs(rows), Pairs(GetParam().rows));
}

const DevCase kDevCases[] = {
    {"EveryInterfaceIncludingLoopback",
     std::string(kHeader) +
         "    lo:    3367      31    0    0    0     0          0         0     3368      31    0 "
         "   0    0     0       0          0\n"
         "  ifb0:       0       0    0    0    0     0          0         0        0       0    0 "
         "   0    0     0       0          0\n"
         "  eth0: 77324262    1477    0    0    0     0          0         0    74813     896    0"
         "    0    0     0       0          0\n",
     {{3367, 3368}, {0, 0}, {77324262, 74813}}},
    {"CountersTruncatedTo32Bits",
     std::string(kHeader) + "eth0: 4294967296 1 0 0 0 0 0 0 4294967297 1 0 0 0 0 0 0\n" +
         "eth1: 18446744073709551615 1 0 0 0 0 0 0 99999999999999999999999 1 0 0 0 0 0 0\n",
     {{0, 1}, {0xFFFF'FFFF, 0xF67F'FFFF}}},
    {"OldKernelWithoutBlankAfterColon",
     "  eth0:123 4 0 0 0 0 0 0 456 7 0 0 0 0 0 0\n",
     {{123, 456}}},
    {"LastLineWithoutNewlineAndTabsAndCr", "eth0:\t1\t2 3 4 5 6 7 8\t9 10 0 0 0 0 0 0\r", {{1, 9}}},
    {"ExactlyNineFieldsSuffice", "a: 1 0 0 0 0 0 0 0 2", {{1, 2}}},
    {"HeaderOnly", kHeader, {}},
    {"Empty", "", {}},
    {"TooFewFields", "eth0: 1 2 3 4 5 6 7 8\n", {}},
    {"NonDigitField", "eth0: 1 2 3 4 5 6 7 -8 9 0\neth1: 1x 0 0 0 0 0 0 0 2\n", {}},
    {"NoName", ": 1 0 0 0 0 0 0 0 2\n   : 1 0 0 0 0 0 0 0 2\n", {}},
    {"NameWithBlank", "et h0: 1 0 0 0 0 0 0 0 2\n", {}},
    {"BadLineBetweenGoodOnes",
     "a: 1 0 0 0 0 0 0 0 2\ngarbage: here\nb: 3 0 0 0 0 0 0 0 4\n",
     {{1, 2}, {3, 4}}},
    {"NulInsideAField",
     std::string("a: 1 0 0 0 0 0 0 0 2\0\nb: 3 0 0 0 0 0 0 0 4\n", 43),
     {{3, 4}}},
};

INSTANTIATE_TEST_SUITE_P(Texts, ParseProcNetDevCases, ::testing::ValuesIn(kDevCases),
                         cases::CaseName{});

TEST(ParseProcNetDev, FortyFiveInterfacesInFileOrder) {
    std::string text = kHeader;
    Rows expected;
    for (std::uint32_t i = 0; i < 45; ++i) {
        text += "if" + std::to_string(i) + ": " + std::to_string(i * 1000) + " 0 0 0 0 0 0 0 " +
                std::to_string(i * 7) + " 0 0 0 0 0 0 0\n";
        expected.push_back({i * 1000, i * 7});
    }
    Rows rows;
    ParseProcNetDev(text, rows);
    EXPECT_EQ(Pairs(rows), Pairs(expected));
}

TEST(ParseProcNetDev, ReusesTheVectorsCapacity) {
    Rows rows;
    rows.reserve(8);
    const InterfaceOctets* storage = rows.data();
    ParseProcNetDev("a: 1 0 0 0 0 0 0 0 2\nb: 3 0 0 0 0 0 0 0 4\n", rows);
    EXPECT_EQ(rows.data(), storage);
}

}  // namespace
}  // namespace ww::platform
