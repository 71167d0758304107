#include "platform/linux/proc/ProcStatProcessorLoad.h"

#include <ctime>
#include <optional>
#include <utility>

#include <unistd.h>

namespace ww::platform {

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11'644'473'600;

std::uint32_t ConfiguredProcessors() {
    const long count = ::sysconf(_SC_NPROCESSORS_CONF);
    return count < 1 ? 1U : static_cast<std::uint32_t>(count);
}

// The real-time clock in 100-ns units since 1601; nothing if unreadable.
std::optional<std::int64_t> Now() {
    timespec now{};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) {
        return std::nullopt;
    }
    std::int64_t seconds = 0;
    std::int64_t units = 0;
    if (__builtin_add_overflow(static_cast<std::int64_t>(now.tv_sec), kEpochDifference, &seconds) ||
        seconds < 0 || __builtin_mul_overflow(seconds, 10'000'000, &units) ||
        __builtin_add_overflow(units, static_cast<std::int64_t>(now.tv_nsec / 100), &units)) {
        return std::nullopt;
    }
    return units;
}

// How long the system has run, in 100-ns units, on the clock the kernel
// counts idle time by: it stands still while the system sleeps.
std::optional<std::int64_t> SinceBoot() {
    timespec since{};
    if (::clock_gettime(CLOCK_MONOTONIC, &since) != 0 || since.tv_sec < 0) {
        return std::nullopt;
    }
    std::int64_t units = 0;
    if (__builtin_mul_overflow(static_cast<std::int64_t>(since.tv_sec), 10'000'000, &units) ||
        __builtin_add_overflow(units, static_cast<std::int64_t>(since.tv_nsec / 100), &units)) {
        return std::nullopt;
    }
    return units;
}

}  // namespace

ProcStatProcessorLoad::ProcStatProcessorLoad(std::string path)
    : ProcStatProcessorLoad(std::move(path), ::sysconf(_SC_CLK_TCK), ConfiguredProcessors()) {}

ProcStatProcessorLoad::ProcStatProcessorLoad(std::string path, std::int64_t ticksPerSecond,
                                             std::uint32_t processors)
    : file_(std::move(path)), ticksPerSecond_(ticksPerSecond), processors_(processors) {}

std::uint32_t ProcStatProcessorLoad::GetNumberOfProcessors() {
    return processors_;
}

std::int32_t ProcStatProcessorLoad::QueryProcessorSample(ProcessorSample& sample) {
    sample.instances.clear();
    sample.sampleTime = 0;
    sample.bootTime = 0;
    if (file_.Read() != ProcFile::Status::Ok) {
        return perferr::kUnreadable;
    }
    ParseProcStat(file_.Text(), cpus_);
    if (cpus_.empty()) {
        return perferr::kObjectMissing;
    }
    const std::optional<std::int64_t> now = Now();
    if (!now) {
        return perferr::kUnreadable;
    }
    seen_.assign(processors_, false);
    for (const ProcStatCpu& cpu : cpus_) {
        const std::optional<std::int64_t> idle =
            TicksToHundredNanoseconds(cpu.idleTicks, ticksPerSecond_);
        if (!idle) {
            sample.instances.clear();
            return perferr::kUnreadable;
        }
        sample.instances.push_back({cpu.index, *idle});
        if (cpu.index >= 0 && static_cast<std::uint32_t>(cpu.index) < processors_) {
            seen_[static_cast<std::size_t>(cpu.index)] = true;
        }
    }
    // An offline processor has no line. Left out, it would keep its last idle
    // time and read as fully busy; idle time that keeps pace with the clock
    // reads as 0 instead.
    for (std::uint32_t p = 0; p < processors_; ++p) {
        if (!seen_[p]) {
            sample.instances.push_back({static_cast<std::int32_t>(p), *now});
        }
    }
    sample.sampleTime = static_cast<std::uint64_t>(*now);
    const std::optional<std::int64_t> running = SinceBoot();
    sample.bootTime = running && *running < *now ? static_cast<std::uint64_t>(*now - *running) : 0;
    return 0;
}

}  // namespace ww::platform
