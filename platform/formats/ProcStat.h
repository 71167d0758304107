#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace ww::platform {

// One processor line of Linux's /proc/stat.
struct ProcStatCpu {
    std::int32_t index = -1;      // N of "cpuN"; -1 for the "cpu" line of all processors
    std::uint64_t idleTicks = 0;  // idle + iowait, in USER_HZ ticks
};

// Reads the text of /proc/stat into `cpus`: one entry per line that is "cpu"
// or "cpu" and decimal digits (N saturates at the largest 32-bit value),
// followed by at least four counters (user nice system idle [iowait ...]),
// every field decimal digits; iowait counts as 0 when the line has none.
// Other lines, and lines whose numbers or sum pass 64 bits, are skipped. Any
// input is accepted. `cpus` is cleared first and keeps its capacity.
void ParseProcStat(std::string_view text, std::vector<ProcStatCpu>& cpus);

// `ticks` of 1/ticksPerSecond second in 100-ns units, exactly rounded down.
// Nothing when ticksPerSecond is below 1 or the result passes 64-bit signed.
std::optional<std::int64_t> TicksToHundredNanoseconds(std::uint64_t ticks,
                                                      std::int64_t ticksPerSecond);

}  // namespace ww::platform
