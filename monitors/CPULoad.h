#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ports/ProcessorLoad.h"
#include "platform/ports/SystemIdentity.h"

namespace ww::monitors {

// An error raised by CPULoad: its number (the user-error base 0x80040000 plus
// 8001 to 8006), the source ("CPULoad" and the procedure) and the description.
class CpuLoadError : public std::runtime_error {
  public:
    static constexpr std::int32_t kUserErrorBase = static_cast<std::int32_t>(0x80040000u);

    // `code` is 8001 to 8006; the source and description are the ones that
    // go with it.
    explicit CpuLoadError(std::int32_t code);

    std::int32_t Code() const { return code_; }
    std::int32_t Number() const { return kUserErrorBase + code_; }
    const std::string& Source() const { return source_; }
    std::string Description() const { return what(); }

  private:
    std::int32_t code_;
    std::string source_;
};

// How busy each processor is, as one line of text for the Status page.
// NT-family systems are measured from two consecutive samples of each
// processor's idle time; the 95/98/Me family reads a ready-made system-wide
// percentage whose statistic runs from the first sample to the object's end.
class CPULoad {
  public:
    // Takes the first sample. Throws CpuLoadError 8001 when the Windows
    // version cannot be read.
    CPULoad(platform::SystemIdentity& identity, platform::ProcessorLoad& load);
    ~CPULoad();
    CPULoad(const CPULoad&) = delete;
    CPULoad& operator=(const CPULoad&) = delete;

    // "07 %" for one processor, "07% 35%" for more; "CPU query failed" when
    // anything goes wrong.
    std::string CPUString();

    // Takes one sample. The answer is always false.
    bool CollectCPUData();

    std::int32_t GetCPUCount();

    // Usage of processor `CPU_Index` (counting from 1) in percent, 0 to 100.
    std::int32_t GetCPUUsage(std::int32_t CPU_Index);

  private:
    void StopMonitoring();
    void CollectNt();
    void Collect9x();

    platform::ProcessorLoad& load_;
    platform::OsVersionInfo version_;
    std::int32_t processorCount_ = -1;
    bool isNt_ = false;
    bool statisticsStarted_ = false;
    std::int32_t usage9x_ = 0;
    std::int64_t currentTime_ = 0;
    std::int64_t previousTime_ = 0;
    std::vector<std::int64_t> currentCounters_;
    std::vector<std::int64_t> previousCounters_;
    platform::ProcessorSample sample_;
};

}  // namespace ww::monitors
