#pragma once

#include <map>
#include <memory>

#include "platform/common/RunState.h"
#include "platform/ports/UiRuntime.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// Timers (the thread's own SetTimer timers), DoEvents and End over the
// thread's message queue, and the message loop the program runs in.
class Win32EventLoop final : public EventLoop {
  public:
    Win32EventLoop(RunState& run, Win32Trace& trace);
    ~Win32EventLoop() override;
    Win32EventLoop(const Win32EventLoop&) = delete;
    Win32EventLoop& operator=(const Win32EventLoop&) = delete;

    TimerId SetTimer(std::uint32_t intervalMs, std::function<void()> onTick) override;
    void KillTimer(TimerId id) override;
    void DoEvents() override;
    // Stops every timer, closes the gate to the logic and posts WM_QUIT, so
    // that the loop ends once the caller is back in it.
    void End() override;

    // Gets and dispatches messages until End; returns at once when the
    // program ended already. The result is WM_QUIT's exit code.
    int Run();

    // Runs one tick of the timer the system knows as `systemId`.
    void Tick(std::uintptr_t systemId);

  private:
    struct Timer {
        std::uintptr_t systemId = 0;
        std::function<void()> onTick;
        bool running = false;
        bool killed = false;
    };

    RunState& run_;
    Win32Trace& trace_;
    std::map<TimerId, std::shared_ptr<Timer>> timers_;
    TimerId lastId_ = 0;
};

}  // namespace ww::platform
