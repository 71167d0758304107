#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/ports/InterfaceTable.h"

namespace ww::platform {

// MIB_IFTABLE as GetIfTable fills it: dwNumEntries at offset 0, then that
// many 860-byte MIB_IFROW rows from offset 4; little-endian.
inline constexpr std::size_t kMibIfTableRowsOffset = 4;
inline constexpr std::size_t kMibIfRowSize = 860;
inline constexpr std::size_t kMibIfRowInOctets = 552;
inline constexpr std::size_t kMibIfRowOutOctets = 576;

// Reads the octet counters of every row in `table` into `rows`, in table
// order. Rows that the entry count names but that do not lie wholly inside
// `table` are not read, so a short or lying buffer gives fewer rows, never a
// read beyond it. Any input is accepted. `rows` is cleared first and keeps
// its capacity.
void ReadMibIfTable(std::span<const std::uint8_t> table, std::vector<InterfaceOctets>& rows);

}  // namespace ww::platform
