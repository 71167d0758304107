#include "platform/linux/system/LinuxClock.h"

#include <time.h>

namespace ww::platform {

bool LinuxClock::QueryPerformanceCounter(std::int64_t& count) {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return false;
    }
    count = static_cast<std::int64_t>(now.tv_sec) * kFrequency + now.tv_nsec;
    return true;
}

bool LinuxClock::QueryPerformanceFrequency(std::int64_t& frequency) {
    frequency = kFrequency;
    return true;
}

std::uint32_t LinuxClock::GetTickCount() {
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return 0;
    }
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000U +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000U;
    return static_cast<std::uint32_t>(ms);  // wraps at 2^32 like the original
}

LocalTime LinuxClock::Now() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace ww::platform
