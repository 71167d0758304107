#include "platform/linux/qt/QtEventLoop.h"

#include <QCoreApplication>
#include <QTimer>

namespace ww::platform {

struct QtEventLoop::Timer {
    QTimer* timer = nullptr;
    std::function<void()> onTick;
    bool running = false;
    bool killed = false;
};

QtEventLoop::QtEventLoop(RunState& run, Trace& trace) : run_(run), trace_(trace) {}

QtEventLoop::~QtEventLoop() = default;

EventLoop::TimerId QtEventLoop::SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) {
    auto entry = std::make_shared<Timer>();
    entry->onTick = std::move(onTick);
    entry->timer = new QTimer(&owner_);
    // 400 and 1000 ms need no precision; coarse timers let the system batch wake-ups.
    entry->timer->setTimerType(Qt::CoarseTimer);
    entry->timer->setInterval(static_cast<int>(intervalMs));
    QObject::connect(entry->timer, &QTimer::timeout, &owner_, [this, entry, intervalMs] {
        // A tick that yields (DoEvents, a message box) must not run again
        // inside itself when the next interval passes meanwhile.
        if (run_.Ended() || entry->killed || entry->running) {
            return;
        }
        entry->running = true;
        if (cost_.Enabled()) {
            const std::int64_t start = TickCost::ThreadCpuNs();
            entry->onTick();
            cost_.Add(intervalMs, TickCost::ThreadCpuNs() - start);
        } else {
            entry->onTick();
        }
        entry->running = false;
    });
    entry->timer->start();
    const TimerId id = ++lastId_;
    timers_.emplace(id, std::move(entry));
    return id;
}

void QtEventLoop::KillTimer(TimerId id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        return;
    }
    const std::shared_ptr<Timer> entry = found->second;
    timers_.erase(found);
    entry->killed = true;
    entry->timer->stop();
    // The tick being killed may be the one running now: the timer and the
    // handler it holds go once control is back in the loop.
    entry->timer->deleteLater();
}

void QtEventLoop::DoEvents() {
    if (run_.Ended()) {
        return;
    }
    QCoreApplication::processEvents();
}

void QtEventLoop::End() {
    if (run_.Ended()) {
        return;
    }
    run_.End();
    for (auto& [id, entry] : timers_) {
        entry->killed = true;
        entry->timer->stop();
    }
    trace_.Write("end");
    QCoreApplication::exit(0);
}

}  // namespace ww::platform
