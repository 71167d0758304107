#include "platform/win32/Win32EventLoop.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// Thread timers carry no pointer of ours: find the loop by the timer's id.
std::map<std::uintptr_t, Win32EventLoop*>& LoopsByTimer() {
    static std::map<std::uintptr_t, Win32EventLoop*> loops;
    return loops;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR systemId, DWORD) {
    const auto found = LoopsByTimer().find(systemId);
    if (found != LoopsByTimer().end()) {
        found->second->Tick(systemId);
    }
}

}  // namespace

Win32EventLoop::Win32EventLoop(RunState& run, Win32Trace& trace) : run_(run), trace_(trace) {}

Win32EventLoop::~Win32EventLoop() {
    for (auto& [id, timer] : timers_) {
        ::KillTimer(nullptr, timer->systemId);
        LoopsByTimer().erase(timer->systemId);
    }
}

EventLoop::TimerId Win32EventLoop::SetTimer(std::uint32_t intervalMs,
                                            std::function<void()> onTick) {
    const UINT_PTR systemId = ::SetTimer(nullptr, 0, intervalMs, &OnTimer);
    if (systemId == 0) {
        return 0;
    }
    auto timer = std::make_shared<Timer>();
    timer->systemId = systemId;
    timer->onTick = std::move(onTick);
    const TimerId id = ++lastId_;
    timers_.emplace(id, std::move(timer));
    LoopsByTimer()[systemId] = this;
    return id;
}

void Win32EventLoop::KillTimer(TimerId id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) {
        return;
    }
    // The tick being killed may be the one running now; it keeps its
    // handler alive until it returns.
    const std::shared_ptr<Timer> timer = found->second;
    timers_.erase(found);
    timer->killed = true;
    ::KillTimer(nullptr, timer->systemId);
    LoopsByTimer().erase(timer->systemId);
}

void Win32EventLoop::Tick(std::uintptr_t systemId) {
    for (auto& [id, entry] : timers_) {
        if (entry->systemId != systemId) {
            continue;
        }
        const std::shared_ptr<Timer> timer = entry;
        // A tick that yields (DoEvents, a message box) must not run again
        // inside itself when the next interval passes meanwhile.
        if (run_.Ended() || timer->killed || timer->running) {
            return;
        }
        timer->running = true;
        timer->onTick();
        timer->running = false;
        return;
    }
}

void Win32EventLoop::DoEvents() {
    MSG message;
    while (!run_.Ended() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
        if (message.message == WM_QUIT) {
            // The loop that runs the program must see it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32EventLoop::End() {
    if (run_.Ended()) {
        return;
    }
    run_.End();
    for (auto& [id, timer] : timers_) {
        timer->killed = true;
        ::KillTimer(nullptr, timer->systemId);
        LoopsByTimer().erase(timer->systemId);
    }
    trace_.Write("end");
    PostQuitMessage(0);
}

int Win32EventLoop::Run() {
    if (run_.Ended()) {
        return 0;
    }
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 0;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace ww::platform
