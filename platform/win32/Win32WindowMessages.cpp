#include "platform/win32/Win32WindowMessages.h"

#include <map>
#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// A window whose procedure the logic replaced.
struct Subclass {
    WNDPROC own = nullptr;      // the procedure the window had before
    WndProc current = nullptr;  // the logic's procedure
    const Win32WindowMessages* owner = nullptr;
};

// One thread uses these: the program's user-interface thread.
std::map<HWND, Subclass>& Subclasses() {
    static std::map<HWND, Subclass> subclasses;
    return subclasses;
}

WNDPROC OwnProc(HWND window) {
    const auto found = Subclasses().find(window);
    if (found != Subclasses().end()) {
        return found->second.own;
    }
    return reinterpret_cast<WNDPROC>(GetWindowLongA(window, GWL_WNDPROC));
}

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = Subclasses().find(window);
    if (found == Subclasses().end()) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Copies: the logic's procedure may end the subclass while it runs.
    const Subclass subclass = found->second;
    LRESULT result = 0;
    if (subclass.owner != nullptr && subclass.owner->Gated()) {
        result = CallWindowProcA(subclass.own, window, message, wParam, lParam);
    } else {
        if (subclass.owner != nullptr) {
            subclass.owner->TraceMessage(message);
        }
        result = static_cast<LRESULT>(subclass.current(FromWin(window), message, wParam, lParam));
    }
    if (message == WM_NCDESTROY) {
        // The window is gone: its handle may be reused for another one.
        Subclasses().erase(window);
    }
    return result;
}

bool Install(HWND window, WNDPROC proc) {
    SetLastError(0);
    const LONG previous = ::SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(proc));
    return previous != 0 || GetLastError() == 0;
}

}  // namespace

Win32WindowMessages::Win32WindowMessages(const RunState& run, Win32Trace& trace)
    : run_(&run), trace_(&trace) {}

Win32WindowMessages::~Win32WindowMessages() {
    // The subclasses must not call back into an object that is gone.
    for (auto it = Subclasses().begin(); it != Subclasses().end();) {
        if (it->second.owner == this) {
            const HWND window = it->first;
            ++it;
            ReleaseWindow(FromWin(window));
        } else {
            ++it;
        }
    }
}

std::uint32_t Win32WindowMessages::RegisterWindowMessageA(std::string_view name) {
    const std::string text(name);
    const std::uint32_t number = ::RegisterWindowMessageA(text.c_str());
    if (name == "TaskbarCreated") {
        taskbarCreated_ = number;
    }
    return number;
}

WndProc Win32WindowMessages::SetWindowLongA(Hwnd window, int index, WndProc proc) {
    const HWND handle = ToWin<HWND>(window);
    if (index != kGwlWndProc || proc == nullptr || IsWindow(handle) == FALSE) {
        return nullptr;
    }
    auto& subclasses = Subclasses();
    const auto found = subclasses.find(handle);
    if (found == subclasses.end()) {
        if (proc == &SystemProc) {
            return &SystemProc;  // nothing to put back
        }
        const auto own = reinterpret_cast<WNDPROC>(GetWindowLongA(handle, GWL_WNDPROC));
        if (own == nullptr || !Install(handle, &SubclassProc)) {
            return nullptr;
        }
        subclasses[handle] = Subclass{own, proc, this};
        return &SystemProc;
    }
    const WndProc previous = found->second.current;
    if (proc == &SystemProc) {
        ReleaseWindow(window);
    } else {
        found->second.current = proc;
        found->second.owner = this;
    }
    return previous;
}

std::intptr_t Win32WindowMessages::CallWindowProcA(WndProc previous, Hwnd window,
                                                   std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
    return previous == nullptr ? 0 : previous(window, message, wParam, lParam);
}

std::intptr_t Win32WindowMessages::SendMessageA(Hwnd window, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t lParam) {
    const HWND handle = ToWin<HWND>(window);
    if (IsWindow(handle) == FALSE) {
        return 0;
    }
    return static_cast<std::intptr_t>(::SendMessageA(handle, message, wParam, lParam));
}

bool Win32WindowMessages::SetForegroundWindow(Hwnd window) {
    return ::SetForegroundWindow(ToWin<HWND>(window)) != FALSE;
}

std::intptr_t Win32WindowMessages::SystemProc(Hwnd window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    const HWND handle = ToWin<HWND>(window);
    const WNDPROC own = OwnProc(handle);
    if (own == nullptr || own == &SubclassProc) {
        return static_cast<std::intptr_t>(DefWindowProcA(handle, message, wParam, lParam));
    }
    return static_cast<std::intptr_t>(::CallWindowProcA(own, handle, message, wParam, lParam));
}

void Win32WindowMessages::ReleaseWindow(Hwnd window) {
    const HWND handle = ToWin<HWND>(window);
    const auto found = Subclasses().find(handle);
    if (found == Subclasses().end()) {
        return;
    }
    const WNDPROC own = found->second.own;
    Subclasses().erase(found);
    if (IsWindow(handle) != FALSE) {
        Install(handle, own);
    }
}

void Win32WindowMessages::TraceMessage(std::uint32_t message) const {
    if (trace_ != nullptr && taskbarCreated_ != 0 && message == taskbarCreated_) {
        trace_->Write("taskbar-created");
    }
}

}  // namespace ww::platform
