#pragma once

#include <cstdint>
#include <vector>

namespace ww::platform {

// One network interface's cumulative byte counters, wrapping at 2^32.
struct InterfaceOctets {
    std::uint32_t inOctets = 0;   // dwInOctets
    std::uint32_t outOctets = 0;  // dwOutOctets
};

// The interface table of the IP Helper interface (iphlpapi GetIfTable).
class InterfaceTable {
  public:
    virtual ~InterfaceTable() = default;

    // GetIfTable: replaces `rows` with one entry per interface, every
    // interface whatever its type or state (loopback and down ones included),
    // unsorted. Returns 0 on success; 50 (not supported) when the system has
    // no interface table; any other value is a failed read, `rows` then empty.
    // Reuses `rows`' capacity, so a caller keeping the vector allocates once.
    virtual std::uint32_t GetIfTable(std::vector<InterfaceOctets>& rows) = 0;
};

}  // namespace ww::platform
