// The performance-data block and the interface table come from the system
// as bytes with offsets and counts inside: nothing outside them is read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/formats/MibIfTable.h"
#include "platform/formats/PerfData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ww::platform;
    const std::span<const std::uint8_t> bytes(data, size);
    ProcessorSample sample;
    (void)ReadProcessorSample(bytes, sample);

    std::vector<InterfaceOctets> rows;
    ReadMibIfTable(bytes, rows);
    constexpr std::size_t kRowSize = 860;
    if (rows.size() > size / kRowSize) {
        std::abort();  // more rows than the bytes can hold
    }
    return 0;
}
