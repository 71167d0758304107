// /proc/net/dev, /proc/meminfo and /proc/stat differ between kernels: the
// readers take any text without reading outside it.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/formats/ProcMeminfo.h"
#include "platform/formats/ProcNetDev.h"
#include "platform/formats/ProcStat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ww::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<InterfaceOctets> rows;
    ParseProcNetDev(text, rows);
    (void)ParseCommittedAs(text);
    std::vector<ProcStatCpu> cpus;
    ParseProcStat(text, cpus);
    return 0;
}
