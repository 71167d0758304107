#pragma once

#include "platform/ports/Clock.h"

namespace ww::platform {

// The system clocks over CLOCK_BOOTTIME, which keeps counting while the
// machine is suspended, as the uptime must.
class LinuxClock final : public Clock {
  public:
    static constexpr std::int64_t kFrequency = 1'000'000'000;  // nanoseconds

    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    std::uint32_t GetTickCount() override;
    LocalTime Now() override;
};

}  // namespace ww::platform
