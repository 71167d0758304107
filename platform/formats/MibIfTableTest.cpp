#include "platform/formats/MibIfTable.h"
#include "tests/support/CaseNames.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ww::platform {
namespace {

using ww::cases::PrintTo;

using Bytes = std::vector<std::uint8_t>;
using Rows = std::vector<InterfaceOctets>;

// Pairs print readably when a comparison fails.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Pairs(const Rows& rows) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const InterfaceOctets& row : rows) {
        pairs.emplace_back(row.inOctets, row.outOctets);
    }
    return pairs;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A table naming `named` entries, holding `held` rows whose every byte is
// 0xEE except the two octet counters, row i having in = 0x01000000 + i and
// out = 0x02000000 + i.
Bytes Table(std::uint32_t named, std::size_t held, std::size_t extra = 0) {
    Bytes bytes(kMibIfTableRowsOffset + held * kMibIfRowSize + extra, 0xEE);
    Put32(bytes, 0, named);
    for (std::size_t i = 0; i < held; ++i) {
        const std::size_t row = kMibIfTableRowsOffset + i * kMibIfRowSize;
        Put32(bytes, row + kMibIfRowInOctets, 0x0100'0000u + static_cast<std::uint32_t>(i));
        Put32(bytes, row + kMibIfRowOutOctets, 0x0200'0000u + static_cast<std::uint32_t>(i));
    }
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t less) {
    bytes.resize(bytes.size() - less);
    return bytes;
}

Rows Expected(std::size_t count) {
    Rows rows;
    for (std::uint32_t i = 0; i < count; ++i) {
        rows.push_back({0x0100'0000u + i, 0x0200'0000u + i});
    }
    return rows;
}

struct TableCase {
    const char* name;
    Bytes bytes;
    std::size_t rows;
};

class ReadMibIfTableCases : public ::testing::TestWithParam<TableCase> {};

TEST_P(ReadMibIfTableCases, ReadsOnlyWholeRows) {
    Rows rows = {{9, 9}};  // stale content is replaced
    ReadMibIfTable(GetParam().bytes, rows);
    EXPECT_EQ(Pairs(rows), Pairs(Expected(GetParam().rows)));
}

const TableCase kTableCases[] = {
    {"Empty", {}, 0},
    {"ShorterThanTheCount", {1, 0, 0}, 0},
    {"NoEntries", Table(0, 0), 0},
    {"NoEntriesButRowsHeld", Table(0, 3), 0},
    {"OneRow", Table(1, 1), 1},
    {"FortyFiveRows", Table(45, 45), 45},
    {"CountBelowRowsHeld", Table(2, 5), 2},
    {"CountBeyondBuffer", Table(5, 2), 2},
    {"CountAllOnes", Table(0xFFFF'FFFF, 3), 3},
    {"LastRowOneByteShort", Cut(Table(3, 3), 1), 2},
    {"LastRowCountersPresentButRowShort", Cut(Table(3, 3), kMibIfRowSize - 580), 2},
    {"PaddingAfterRows", Table(2, 2, kMibIfRowSize - 1), 2},
};

INSTANTIATE_TEST_SUITE_P(Buffers, ReadMibIfTableCases, ::testing::ValuesIn(kTableCases),
                         cases::CaseName{});

TEST(ReadMibIfTable, ReadsLittleEndianAtTheRowOffsets) {
    Bytes bytes(kMibIfTableRowsOffset + 2 * kMibIfRowSize, 0);
    bytes[0] = 2;
    const std::size_t second = kMibIfTableRowsOffset + kMibIfRowSize;
    bytes[second + 552] = 0x78;
    bytes[second + 553] = 0x56;
    bytes[second + 554] = 0x34;
    bytes[second + 555] = 0x12;
    bytes[second + 579] = 0xFF;
    Rows rows;
    ReadMibIfTable(bytes, rows);
    EXPECT_EQ(Pairs(rows), Pairs((Rows{{0, 0}, {0x1234'5678, 0xFF00'0000}})));
}

}  // namespace
}  // namespace ww::platform
