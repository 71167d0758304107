#pragma once

#include <cstdint>

#include "platform/ports/Clock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The three clocks on simulated time. They move only through AdvanceMs, which
// moves them together and fires the timers that fall due on the way.
// Defaults: counter available at 10 MHz, counter 0, tick count 0, local time
// 2026-01-27 09:00:00.
class SimClock : public Clock {
  public:
    SimClock(SimLog& log, SimEventLoop& loop);

    bool QueryPerformanceCounter(std::int64_t& count) override;
    bool QueryPerformanceFrequency(std::int64_t& frequency) override;
    std::uint32_t GetTickCount() override;
    LocalTime Now() override;

    // --- control ---

    // Moves counter, tick count and local time by `ms` and fires due timers in
    // (due time, id) order, each at its own moment; posted events run after
    // the timers of each moment and at the end.
    void AdvanceMs(std::uint64_t ms);

    // Without a counter both queries return false; the frequency query then
    // gives 0 and the counter query leaves its argument alone.
    void SetCounterAvailable(bool available) { counterAvailable_ = available; }
    void SetCounter(std::int64_t count);
    void SetFrequency(std::int64_t frequency);
    void SetTickCount(std::uint32_t ticks) { ticks_ = ticks; }
    void SetLocalTime(const LocalTime& time);

    // Counter and tick count as after `ms` of uptime (tick count wrapped).
    void SetUptimeMs(std::uint64_t ms);

    std::int64_t Counter() const { return counter_; }
    std::int64_t Frequency() const { return frequency_; }
    std::uint32_t TickCount() const { return ticks_; }
    LocalTime CurrentLocalTime() const;

    // Simulated milliseconds since the sim was made (what timers count in).
    std::uint64_t ElapsedMs() const { return elapsedMs_; }

  private:
    void MoveTo(std::uint64_t elapsedMs);

    SimLog& log_;
    SimEventLoop& loop_;
    bool counterAvailable_ = true;
    std::int64_t counter_ = 0;
    std::int64_t counterRemainder_ = 0;  // counts × 1000 not yet whole
    std::int64_t frequency_ = 10'000'000;
    std::uint32_t ticks_ = 0;
    std::int64_t localMs_ = 0;  // milliseconds since 1970-01-01 00:00 local
    std::uint64_t elapsedMs_ = 0;
};

}  // namespace ww::platform
