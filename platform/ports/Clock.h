#pragma once

#include <cstdint>

namespace ww::platform {

// A local calendar moment, to the whole second.
struct LocalTime {
    int year = 0;    // e.g. 2026
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
};

// The system clocks: the high-resolution counter, the millisecond tick count
// and the local calendar time.
class Clock {
  public:
    virtual ~Clock() = default;

    // QueryPerformanceCounter: fills `count` with the counter since system start.
    // Returns true on success; on false `count` is left as the caller set it.
    // The counter includes time spent suspended.
    virtual bool QueryPerformanceCounter(std::int64_t& count) = 0;

    // QueryPerformanceFrequency: counts per second of that counter. The return
    // value is not relied on; a frequency of 0 is possible and must be handled.
    virtual bool QueryPerformanceFrequency(std::int64_t& frequency) = 0;

    // GetTickCount: milliseconds since system start, wrapping at 2^32.
    virtual std::uint32_t GetTickCount() = 0;

    // The present local date and time, to the whole second.
    virtual LocalTime Now() = 0;
};

}  // namespace ww::platform
