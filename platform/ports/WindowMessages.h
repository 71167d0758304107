#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ports/Types.h"

namespace ww::platform {

// Window messages and window procedures (user32). The backend owns the
// windows; each has a current window procedure to which it delivers messages
// (the tray callback, "TaskbarCreated", WM_DESTROY...), and a default one that
// does the system's default processing (WM_SYSCOMMAND / SC_SCREENSAVE starts
// the screen saver).
class WindowMessages {
  public:
    virtual ~WindowMessages() = default;

    // RegisterWindowMessageA: the same number for the same name, system-wide,
    // in 0xC000..0xFFFF; 0 on failure.
    virtual std::uint32_t RegisterWindowMessageA(std::string_view name) = 0;

    // SetWindowLongA(window, GWL_WNDPROC, proc): installs `proc` as the
    // window's procedure and returns the previous one; nullptr on failure
    // (unknown window, or an index other than kGwlWndProc).
    virtual WndProc SetWindowLongA(Hwnd window, int index, WndProc proc) = 0;

    // CallWindowProcA: calls `previous` with the message. `previous` may be a
    // procedure returned by SetWindowLongA, including the backend's own default.
    virtual std::intptr_t CallWindowProcA(WndProc previous, Hwnd window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // SendMessageA: delivers the message synchronously to the window's current
    // procedure and returns its result; 0 for an unknown window.
    virtual std::intptr_t SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) = 0;

    // SetForegroundWindow: brings the window to the front; true on success.
    virtual bool SetForegroundWindow(Hwnd window) = 0;
};

}  // namespace ww::platform
