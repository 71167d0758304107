#pragma once

#include <QObject>
#include <map>
#include <memory>

#include "platform/common/RunState.h"
#include "platform/linux/trace/TickCost.h"
#include "platform/linux/trace/Trace.h"
#include "platform/ports/UiRuntime.h"

class QTimer;

namespace ww::platform {

// Timers, DoEvents and End over the Qt event loop.
class QtEventLoop final : public EventLoop {
  public:
    QtEventLoop(RunState& run, Trace& trace);
    ~QtEventLoop() override;
    QtEventLoop(const QtEventLoop&) = delete;
    QtEventLoop& operator=(const QtEventLoop&) = delete;

    TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) override;
    void KillTimer(TimerId id) override;
    void DoEvents() override;
    // Stops every timer, closes the gate to the logic and leaves every
    // running loop. Before the main loop has started, Run() sees the end.
    void End() override;

  private:
    struct Timer;

    RunState& run_;
    Trace& trace_;
    QObject owner_;  // parent of the timers, so none outlives this object
    std::map<TimerId, std::shared_ptr<Timer>> timers_;
    TimerId lastId_ = 0;
    TickCost cost_;
};

}  // namespace ww::platform
