#include "monitors/CPULoad.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>

namespace ww::monitors {

namespace {

constexpr std::int32_t kVersion = 8001;
constexpr std::int32_t kStart = 8002;
constexpr std::int32_t kIndex = 8003;
constexpr std::int32_t kUnreadable = platform::perferr::kUnreadable;

struct ErrorText {
    std::int32_t code;
    const char* source;
    const char* description;
};

// The source and description of each of the class's own errors.
constexpr ErrorText kErrors[] = {
    {kVersion, ".Initialize", "Can't get the Windows version"},
    {kStart, ".CollectCPRData()", "Unable to start performance monitoring"},
    {kIndex, ".GetCPUUsage()", "CPU index out of bounds"},
    {platform::perferr::kObjectMissing, ".CollectData",
     "Unable to locate the 'Processor' performance object"},
    {platform::perferr::kCounterMissing, ".CollectData",
     "Unable to locate the '% of CPU usage' performance counter"},
    {kUnreadable, ".CollectCPUData()", "Unable to read performance data"},
};

const ErrorText& Lookup(std::int32_t code) {
    for (const ErrorText& entry : kErrors) {
        if (entry.code == code) {
            return entry;
        }
    }
    return kErrors[std::size(kErrors) - 1];
}

std::int64_t Difference(std::int64_t later, std::int64_t earlier) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(later, earlier, &difference)) {
        throw std::overflow_error("CPU counter difference overflows");
    }
    return difference;
}

double RoundHalfToEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        return floor + 1.0;
    }
    return floor;
}

// The "0#" pattern: at least two digits, so 0 is "00", 5 is "05", 100 is "100".
std::string FormatUsage(std::int32_t usage) {
    std::string digits = std::to_string(std::llabs(static_cast<long long>(usage)));
    if (digits.size() < 2) {
        digits.insert(0, "0");
    }
    return usage < 0 ? "-" + digits : digits;
}

}  // namespace

CpuLoadError::CpuLoadError(std::int32_t code)
    : std::runtime_error(Lookup(code).description),
      code_(Lookup(code).code),
      source_(std::string("CPULoad") + Lookup(code).source) {}

CPULoad::CPULoad(platform::SystemIdentity& identity, platform::ProcessorLoad& load) : load_(load) {
    version_.dwOSVersionInfoSize = sizeof(platform::OsVersionInfo);
    if (!identity.GetVersionExA(version_)) {
        throw CpuLoadError(kVersion);
    }
    isNt_ = version_.dwPlatformId >= 2;
    // The 95/98/Me statistic runs from here. The NT path takes no sample yet:
    // its first refresh measures from the system's start (a sample taken now
    // would leave that refresh an interval of microseconds, all noise). A
    // failure here is the first refresh's to report.
    if (!isNt_) {
        try {
            CollectCPUData();
        } catch (...) {
        }
    }
}

CPULoad::~CPULoad() {
    StopMonitoring();
}

void CPULoad::StopMonitoring() {
    if (isNt_ || !statisticsStarted_) {
        return;
    }
    statisticsStarted_ = false;
    load_.CloseStatisticData();
    // Nothing to report if the stop key cannot be opened: the object is going.
    load_.StopStatistic();
}

std::int32_t CPULoad::GetCPUCount() {
    if (processorCount_ >= 1) {
        return processorCount_;
    }
    const std::uint32_t count = load_.GetNumberOfProcessors();
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::overflow_error("processor count overflows");
    }
    processorCount_ = static_cast<std::int32_t>(count);
    previousCounters_.assign(count, 0);
    currentCounters_.assign(count, 0);
    return processorCount_;
}

bool CPULoad::CollectCPUData() {
    if (isNt_) {
        CollectNt();
    } else {
        Collect9x();
    }
    return false;
}

void CPULoad::CollectNt() {
    const std::int32_t result = load_.QueryProcessorSample(sample_);
    if (result == platform::perferr::kCounterMissing && processorCount_ < 1) {
        // The processor object was there, so the count had been asked for
        // before the counter turned out to be missing.
        GetCPUCount();
    }
    if (result == platform::perferr::kObjectMissing ||
        result == platform::perferr::kCounterMissing) {
        throw CpuLoadError(result);
    }
    if (result != 0) {
        throw CpuLoadError(kUnreadable);
    }
    if (processorCount_ < 1) {
        GetCPUCount();
    }
    for (const platform::ProcessorInstance& instance : sample_.instances) {
        if (instance.index == -1) {
            continue;  // all processors together
        }
        if (instance.index < 0 || instance.index >= processorCount_) {
            throw std::out_of_range("processor instance beyond the processor count");
        }
        const auto p = static_cast<std::size_t>(instance.index);
        previousCounters_[p] = currentCounters_[p];
        currentCounters_[p] = instance.idleTime;
    }
    if (sample_.sampleTime > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        throw std::overflow_error("sample time overflows");
    }
    previousTime_ = currentTime_;
    currentTime_ = static_cast<std::int64_t>(sample_.sampleTime);
    if (previousTime_ == 0 && sample_.bootTime < sample_.sampleTime) {
        // The first sample: idle times since the start against a zero
        // baseline at the start, the average since then.
        previousTime_ = static_cast<std::int64_t>(sample_.bootTime);
    }
}

void CPULoad::Collect9x() {
    if (!statisticsStarted_) {
        if (!load_.StartStatistic()) {
            throw CpuLoadError(kStart);
        }
        if (!load_.OpenStatisticData()) {
            throw CpuLoadError(kUnreadable);
        }
        statisticsStarted_ = true;
    }
    usage9x_ = load_.ReadStatistic();
}

std::int32_t CPULoad::GetCPUUsage(std::int32_t CPU_Index) {
    if (!isNt_) {
        if (CPU_Index != 1) {
            throw CpuLoadError(kIndex);
        }
        if (!statisticsStarted_) {
            CollectCPUData();
        }
        return std::clamp(usage9x_, 0, 100);
    }
    if (processorCount_ < 0) {
        CollectCPUData();
    }
    if (CPU_Index < 1 || CPU_Index > processorCount_) {
        throw CpuLoadError(kIndex);
    }
    // Without an earlier sample there is no interval to measure over yet.
    if (previousTime_ == 0 || previousTime_ == currentTime_) {
        return 0;
    }
    const auto p = static_cast<std::size_t>(CPU_Index - 1);
    const std::int64_t idle = Difference(currentCounters_[p], previousCounters_[p]);
    const std::int64_t elapsed = Difference(currentTime_, previousTime_);
    const double usage =
        (1.0 - (static_cast<double>(idle) / 10000.0) / (static_cast<double>(elapsed) / 10000.0)) *
        100.0;
    if (!std::isfinite(usage)) {
        throw std::domain_error("CPU usage is not a number");
    }
    // Idle time can grow a little faster than the clock between two samples
    // (and the other way round); a share outside 0 to 100 means nothing.
    return static_cast<std::int32_t>(RoundHalfToEven(std::clamp(usage, 0.0, 100.0)));
}

std::string CPULoad::CPUString() {
    std::string text;
    try {
        CollectCPUData();
        const std::int32_t count = GetCPUCount();
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::int32_t usage = GetCPUUsage(i);
            if (!text.empty()) {
                text += ' ';
            }
            text += FormatUsage(usage);
            if (count == 1) {
                text += ' ';
            }
            text += '%';
        }
    } catch (...) {
        return "CPU query failed";
    }
    return text;
}

}  // namespace ww::monitors
