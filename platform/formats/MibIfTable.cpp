#include "platform/formats/MibIfTable.h"

#include <algorithm>

namespace ww::platform {

namespace {

// `at` + 4 must lie within `bytes`; the callers make sure of that.
std::uint32_t LittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

void ReadMibIfTable(std::span<const std::uint8_t> table, std::vector<InterfaceOctets>& rows) {
    rows.clear();
    if (table.size() < kMibIfTableRowsOffset) {
        return;
    }
    const std::size_t named = LittleEndian32(table, 0);
    const std::size_t whole = (table.size() - kMibIfTableRowsOffset) / kMibIfRowSize;
    const std::size_t count = std::min(named, whole);
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t row = kMibIfTableRowsOffset + i * kMibIfRowSize;
        rows.push_back({LittleEndian32(table, row + kMibIfRowInOctets),
                        LittleEndian32(table, row + kMibIfRowOutOctets)});
    }
}

}  // namespace ww::platform
