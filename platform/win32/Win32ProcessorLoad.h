#pragma once

#include "platform/formats/PerfData.h"
#include "platform/ports/ProcessorLoad.h"

namespace ww::platform {

// Processor load from the registry's performance roots: the NT family's
// HKEY_PERFORMANCE_DATA "238", read by the shared performance-data reader,
// and the 95/98/Me family's HKEY_DYN_DATA "PerfStats" statistic.
class Win32ProcessorLoad final : public ProcessorLoad {
  public:
    Win32ProcessorLoad();
    ~Win32ProcessorLoad() override;
    Win32ProcessorLoad(const Win32ProcessorLoad&) = delete;
    Win32ProcessorLoad& operator=(const Win32ProcessorLoad&) = delete;

    std::uint32_t GetNumberOfProcessors() override;
    // Closes HKEY_PERFORMANCE_DATA after every sample, so the providers the
    // query loaded are released between samples.
    std::int32_t QueryProcessorSample(ProcessorSample& sample) override;
    bool StartStatistic() override;
    bool OpenStatisticData() override;
    std::int32_t ReadStatistic() override;
    void CloseStatisticData() override;
    bool StopStatistic() override;

    std::int32_t BufferSize() const { return perfData_.BufferSize(); }

  private:
    PerfData perfData_;
    std::uint32_t statisticKey_ = 0;  // "PerfStats\StatData" while open
};

}  // namespace ww::platform
