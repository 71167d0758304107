#include "platform/sim/SimEventLoop.h"

#include <algorithm>
#include <string>

namespace ww::platform {
namespace {

// Windows raises shorter intervals to USER_TIMER_MINIMUM; it also keeps a
// zero interval from spinning the advance loop forever.
constexpr std::uint32_t kMinimumIntervalMs = 10;

}  // namespace

EventLoop::TimerId SimEventLoop::SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) {
    log_.Add("SetTimer(" + std::to_string(intervalMs) + ")");
    auto timer = std::make_shared<Timer>();
    timer->intervalMs = std::max(intervalMs, kMinimumIntervalMs);
    timer->dueMs = nowMs_ + timer->intervalMs;
    timer->onTick = std::move(onTick);
    TimerId id = ++lastId_;
    timers_[id] = std::move(timer);
    return id;
}

void SimEventLoop::KillTimer(TimerId id) {
    log_.Add("KillTimer(" + std::to_string(id) + ")");
    timers_.erase(id);
}

void SimEventLoop::DoEvents() {
    log_.Add("DoEvents");
    RunPosted();
}

void SimEventLoop::End() {
    log_.Add("End");
    ended_ = true;
    posted_.clear();
}

void SimEventLoop::Post(std::function<void()> event) {
    if (!ended_) {
        posted_.push_back(std::move(event));
    }
}

std::vector<SimEventLoop::TimerInfo> SimEventLoop::Timers() const {
    std::vector<TimerInfo> infos;
    for (const auto& [id, timer] : timers_) {
        infos.push_back({id, timer->intervalMs, timer->dueMs, timer->running});
    }
    return infos;
}

void SimEventLoop::RunPosted() {
    // Events posted while these run are handled too, as the message loop would.
    while (!ended_ && !posted_.empty()) {
        auto event = std::move(posted_.front());
        posted_.pop_front();
        event();
    }
}

std::shared_ptr<SimEventLoop::Timer> SimEventLoop::NextDue(std::uint64_t limitMs,
                                                           TimerId& id) const {
    std::shared_ptr<Timer> next;
    for (const auto& [timerId, timer] : timers_) {
        if (timer->dueMs <= limitMs && (!next || timer->dueMs < next->dueMs)) {
            next = timer;
            id = timerId;
        }
    }
    return next;
}

void SimEventLoop::RunUntil(std::uint64_t targetMs,
                            const std::function<void(std::uint64_t)>& moveTo) {
    while (!ended_) {
        TimerId id = 0;
        auto first = NextDue(targetMs, id);
        if (!first) {
            break;
        }
        const std::uint64_t moment = std::max(first->dueMs, nowMs_);
        nowMs_ = moment;
        moveTo(moment);
        // Every timer due by this moment, then the events queued meanwhile.
        for (auto timer = first; timer && !ended_; timer = NextDue(moment, id)) {
            timer->dueMs += timer->intervalMs;
            if (timer->running) {
                continue;
            }
            timer->running = true;
            auto onTick = timer->onTick;  // the tick may kill its own timer
            onTick();
            timer->running = false;
        }
        RunPosted();
    }
    if (targetMs > nowMs_) {
        nowMs_ = targetMs;
        moveTo(targetMs);
    }
    RunPosted();
}

}  // namespace ww::platform
