#pragma once

#include "platform/ports/Clock.h"

namespace ww::platform {

// The system clocks: kernel32's performance counter and tick count, and the
// local time GetLocalTime gives.
class Win32Clock final : public Clock {
  public:
    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    std::uint32_t GetTickCount() override;
    LocalTime Now() override;
};

}  // namespace ww::platform
