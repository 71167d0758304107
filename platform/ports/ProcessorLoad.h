#pragma once

#include <cstdint>
#include <vector>

namespace ww::platform {

// One processor instance of a performance-data sample.
struct ProcessorInstance {
    // The instance name as a number (processor 0, 1, ...), or -1 for an
    // instance whose name is not numeric (the total of all processors).
    std::int32_t index = -1;
    // Idle time in 100-ns units since the system started.
    std::int64_t idleTime = 0;
};

// A sample of the processor performance object (title index 238, counter 6).
struct ProcessorSample {
    std::uint64_t sampleTime = 0;  // 100-ns units since 1601-01-01 UTC (from SystemTime)
    std::vector<ProcessorInstance> instances;
    // When the system started, on the sample time's clock; 0 when unknown.
    // Against it the idle times since the start give the first reading.
    std::uint64_t bootTime = 0;
};

namespace perferr {
inline constexpr std::int32_t kObjectMissing = 8004;   // no processor object
inline constexpr std::int32_t kCounterMissing = 8005;  // no processor-time counter
inline constexpr std::int32_t kUnreadable = 8006;      // no "PERF" data block
}  // namespace perferr

// Processor load as the system measures it: the NT family's performance
// data, or the 95/98/Me family's dynamic "KERNEL\CPUUsage" statistic.
class ProcessorLoad {
  public:
    virtual ~ProcessorLoad() = default;

    // GetSystemInfo: dwNumberOfProcessors.
    virtual std::uint32_t GetNumberOfProcessors() = 0;

    // The processor object of the performance data (HKEY_PERFORMANCE_DATA
    // "238"), replacing `sample`. Returns 0, or one of perferr's numbers when
    // the data has no such object or counter or cannot be read. The backend
    // keeps its query buffer's size between samples, growing it 4096 bytes at
    // a time.
    virtual std::int32_t QueryProcessorSample(ProcessorSample& sample) = 0;

    // 95/98/Me statistic: opening "PerfStats\StartStat" and reading the value
    // starts it (false when the key cannot be opened); opening
    // "PerfStats\StatData" (false on failure) gives the key that later reads
    // use; reading from "PerfStats\StopStat" ends it.
    virtual bool StartStatistic() = 0;
    virtual bool OpenStatisticData() = 0;
    virtual std::int32_t ReadStatistic() = 0;  // percent; 0 when the read fails
    virtual void CloseStatisticData() = 0;
    virtual bool StopStatistic() = 0;
};

}  // namespace ww::platform
