#include "platform/sim/SimProcessorLoad.h"

#include <limits>

namespace ww::platform {

SimProcessorLoad::SimProcessorLoad(SimLog& log) : log_(log) {
    standing_.sampleTime = kDefaultTime;
    standing_.instances = {{0, 0}, {-1, 0}};
}

std::uint32_t SimProcessorLoad::GetNumberOfProcessors() {
    log_.Add("GetSystemInfo");
    return count_;
}

std::int32_t SimProcessorLoad::QueryProcessorSample(ProcessorSample& sample) {
    log_.Add("QueryProcessorSample");
    if (!queue_.empty()) {
        auto answer = std::move(queue_.front());
        queue_.pop_front();
        if (const std::int32_t* number = std::get_if<std::int32_t>(&answer)) {
            sample = ProcessorSample{};
            return *number;
        }
        standing_ = std::get<ProcessorSample>(std::move(answer));
    }
    sample = standing_;
    return 0;
}

void SimProcessorLoad::QueueIdle(std::uint64_t time, const std::vector<std::int64_t>& idle) {
    ProcessorSample sample;
    sample.sampleTime = time;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < idle.size(); ++i) {
        sample.instances.push_back({static_cast<std::int32_t>(i), idle[i]});
        if (__builtin_add_overflow(total, idle[i], &total)) {
            total = std::numeric_limits<std::int64_t>::max();
        }
    }
    sample.instances.push_back({-1, total});
    QueueSample(std::move(sample));
}

bool SimProcessorLoad::StartStatistic() {
    log_.Add("StartStatistic");
    if (startFails_) {
        return false;
    }
    ++starts_;
    running_ = true;
    return true;
}

bool SimProcessorLoad::OpenStatisticData() {
    log_.Add("OpenStatisticData");
    if (openDataFails_) {
        return false;
    }
    dataOpen_ = true;
    return true;
}

std::int32_t SimProcessorLoad::ReadStatistic() {
    log_.Add("ReadStatistic");
    return dataOpen_ ? value_ : 0;
}

void SimProcessorLoad::CloseStatisticData() {
    log_.Add("CloseStatisticData");
    if (dataOpen_) {
        dataOpen_ = false;
        ++closes_;
    }
}

bool SimProcessorLoad::StopStatistic() {
    log_.Add("StopStatistic");
    if (stopOpenFails_) {
        return false;
    }
    ++stops_;
    running_ = false;
    return true;
}

}  // namespace ww::platform
