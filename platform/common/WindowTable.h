#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/Types.h"

namespace ww::platform {

// The windows a backend owns, each with a current window procedure that
// messages go to and a default procedure doing the system's own processing.
// Backends without real Win32 windows (sim, Linux) use this to give the
// logic the SetWindowLongA / CallWindowProcA / SendMessageA model it is
// written for. Window handles are unique in the process, so the plain
// function-pointer default procedure can find its window's handler.
class WindowTable {
  public:
    using DefaultHandler = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                       std::intptr_t lParam)>;

    WindowTable() = default;
    ~WindowTable();
    WindowTable(const WindowTable&) = delete;
    WindowTable& operator=(const WindowTable&) = delete;

    // A new window whose current and default procedure is `handler`.
    Hwnd Create(DefaultHandler handler);

    // Sends WM_DESTROY and WM_NCDESTROY through the current procedure, then
    // forgets the window. Unknown windows are ignored.
    void Destroy(Hwnd window);

    bool Exists(Hwnd window) const;

    // SetWindowLongA(GWL_WNDPROC): previous procedure, or nullptr when the
    // window is unknown or `proc` is null.
    WndProc SetProc(Hwnd window, WndProc proc);

    // The window's default procedure, as SetWindowLongA first returns it.
    static std::intptr_t DefaultProc(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

    // SendMessageA: the current procedure's result; 0 for an unknown window.
    std::intptr_t Send(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);

    // RegisterWindowMessageA: one number per name, from 0xC000, process-wide.
    static std::uint32_t Register(std::string_view name);

  private:
    std::vector<Hwnd> owned_;
};

}  // namespace ww::platform
