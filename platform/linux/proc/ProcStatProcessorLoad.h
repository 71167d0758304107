#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/formats/ProcStat.h"
#include "platform/linux/proc/ProcFile.h"
#include "platform/ports/ProcessorLoad.h"

namespace ww::platform {

// Processor load from /proc/stat, the NT way: each processor's idle time
// (idle + iowait) and one time stamp per sample. Linux has nothing like the
// 95/98/Me statistic, so that part always fails.
class ProcStatProcessorLoad final : public ProcessorLoad {
  public:
    // Ticks per second and the processor count from sysconf.
    explicit ProcStatProcessorLoad(std::string path = "/proc/stat");
    ProcStatProcessorLoad(std::string path, std::int64_t ticksPerSecond, std::uint32_t processors);

    // The configured processors, online or not (at least 1).
    std::uint32_t GetNumberOfProcessors() override;

    // The "cpuN" lines as processors N, the "cpu" line as the total (-1),
    // idle times in 100-ns units; the sample time is the real-time clock in
    // 100-ns units since 1601, and the boot time on that clock. A configured processor without a
    // line (it is offline) is reported idle for the whole time. kUnreadable when the file cannot be
    // read or a figure does not fit, kObjectMissing when it has no processor lines.
    std::int32_t QueryProcessorSample(ProcessorSample& sample) override;

    bool StartStatistic() override { return false; }
    bool OpenStatisticData() override { return false; }
    std::int32_t ReadStatistic() override { return 0; }
    void CloseStatisticData() override {}
    bool StopStatistic() override { return false; }

  private:
    ProcFile file_;
    std::int64_t ticksPerSecond_;
    std::uint32_t processors_;
    std::vector<ProcStatCpu> cpus_;
    std::vector<bool> seen_;
};

}  // namespace ww::platform
