#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/ports/UiRuntime.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Timers, posted events and the end of the process, on simulated time.
// Nothing runs on its own: timers fire only while SimClock::AdvanceMs moves
// time, posted events only in DoEvents or after the timers of a moment.
class SimEventLoop : public EventLoop {
  public:
    struct TimerInfo {
        TimerId id = 0;
        std::uint32_t intervalMs = 0;
        std::uint64_t dueMs = 0;  // simulated milliseconds since the sim started
        bool running = false;     // its tick is on the stack right now
    };

    explicit SimEventLoop(SimLog& log) : log_(log) {}

    TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) override;
    void KillTimer(TimerId id) override;
    void DoEvents() override;
    void End() override;

    // --- control ---

    // Queues an event (a click, a menu choice...) for the next DoEvents, or
    // for the end of the current moment while time advances.
    void Post(std::function<void()> event);
    std::size_t PendingEvents() const { return posted_.size(); }

    bool Ended() const { return ended_; }

    // The live timers in id order.
    std::vector<TimerInfo> Timers() const;
    bool HasTimer(TimerId id) const { return timers_.contains(id); }

    // Used by SimClock::AdvanceMs: fires every timer due up to `targetMs` in
    // (due time, id) order, calling `moveTo` with each moment first; after the
    // timers of a moment the posted events run. A timer whose tick is still
    // running (time advanced from inside it) skips the ticks it would owe.
    void RunUntil(std::uint64_t targetMs, const std::function<void(std::uint64_t)>& moveTo);

  private:
    struct Timer {
        std::uint32_t intervalMs = 0;
        std::uint64_t dueMs = 0;
        bool running = false;
        std::function<void()> onTick;
    };

    void RunPosted();
    std::shared_ptr<Timer> NextDue(std::uint64_t limitMs, TimerId& id) const;

    SimLog& log_;
    std::map<TimerId, std::shared_ptr<Timer>> timers_;
    std::deque<std::function<void()>> posted_;
    TimerId lastId_ = 0;
    std::uint64_t nowMs_ = 0;
    bool ended_ = false;
};

}  // namespace ww::platform
