#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <variant>
#include <vector>

#include "platform/ports/ProcessorLoad.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Processor load. By default one processor; every query answers the standing
// sample: 27 January 2006 00:00 UTC, processor 0 with no idle time and the
// "_Total" instance. Queued answers (samples or error numbers) are given
// first, one per query; a queued sample becomes the standing one.
// The 95/98/Me statistic reads `value` (0 by default) while its data key is open.
class SimProcessorLoad : public ProcessorLoad {
  public:
    // 100-ns units since 1601 of the default standing sample.
    static constexpr std::uint64_t kDefaultTime = 127'827'936'000'000'000ULL;

    explicit SimProcessorLoad(SimLog& log);

    std::uint32_t GetNumberOfProcessors() override;
    std::int32_t QueryProcessorSample(ProcessorSample& sample) override;
    // Starting fails when told to; otherwise counts a start.
    bool StartStatistic() override;
    bool OpenStatisticData() override;
    // `value` while the data key is open, else 0.
    std::int32_t ReadStatistic() override;
    // Counts a close when the data key was open.
    void CloseStatisticData() override;
    // False (no stop counted) when the stop key cannot be opened.
    bool StopStatistic() override;

    // --- control ---
    void SetProcessorCount(std::uint32_t count) { count_ = count; }
    void SetSample(ProcessorSample sample) { standing_ = std::move(sample); }
    void QueueSample(ProcessorSample sample) { queue_.emplace_back(std::move(sample)); }
    // The next query answers `number` (8004, 8005, 8006 ...) and leaves the
    // standing sample alone.
    void QueueError(std::int32_t number) { queue_.emplace_back(number); }
    // A sample at `time` with processors 0, 1, ... at `idle` and "_Total"
    // (index -1) at their sum.
    void QueueIdle(std::uint64_t time, const std::vector<std::int64_t>& idle);
    std::size_t QueuedAnswers() const { return queue_.size(); }

    void SetStartFails(bool fails) { startFails_ = fails; }
    void SetOpenDataFails(bool fails) { openDataFails_ = fails; }
    void SetStopOpenFails(bool fails) { stopOpenFails_ = fails; }
    void SetValue(std::int32_t value) { value_ = value; }
    int StartCount() const { return starts_; }
    int StopCount() const { return stops_; }
    int CloseCount() const { return closes_; }
    bool DataOpen() const { return dataOpen_; }
    // Started and not stopped since.
    bool StatisticRunning() const { return running_; }

  private:
    SimLog& log_;
    std::uint32_t count_ = 1;
    ProcessorSample standing_;
    std::deque<std::variant<ProcessorSample, std::int32_t>> queue_;
    bool startFails_ = false;
    bool openDataFails_ = false;
    bool stopOpenFails_ = false;
    std::int32_t value_ = 0;
    int starts_ = 0;
    int stops_ = 0;
    int closes_ = 0;
    bool dataOpen_ = false;
    bool running_ = false;
};

}  // namespace ww::platform
