#pragma once

#include <cstdint>
#include <string_view>

#include "platform/common/RunState.h"
#include "platform/ports/WindowMessages.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// Window messages and the GWL_WNDPROC subclass over user32.
//
// The logic's procedures are plain functions, not the system's stdcall
// window procedures, so SetWindowLongA installs one stdcall procedure of its
// own with the real SetWindowLongA(GWL_WNDPROC) and calls the logic's from
// there. What it hands back as the previous procedure of a window not yet
// subclassed is SystemProc, which passes the message on to the window's own
// procedure with the real CallWindowProcA; installing SystemProc again puts
// that procedure back.
class Win32WindowMessages final : public WindowMessages {
  public:
    Win32WindowMessages() = default;
    // Once `run` has ended, messages go straight to the windows' own
    // procedures; "TaskbarCreated" reaching a subclassed window is traced.
    Win32WindowMessages(const RunState& run, Win32Trace& trace);
    ~Win32WindowMessages() override;
    Win32WindowMessages(const Win32WindowMessages&) = delete;
    Win32WindowMessages& operator=(const Win32WindowMessages&) = delete;

    std::uint32_t RegisterWindowMessageA(std::string_view name) override;
    WndProc SetWindowLongA(Hwnd window, int index, WndProc proc) override;
    std::intptr_t CallWindowProcA(WndProc previous, Hwnd window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    bool SetForegroundWindow(Hwnd window) override;

    // The window's own procedure, through the real CallWindowProcA.
    static std::intptr_t SystemProc(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam);

    // Puts the window's own procedure back, whatever the logic installed:
    // for windows that outlive the logic's procedures.
    static void ReleaseWindow(Hwnd window);

    bool Gated() const { return run_ != nullptr && run_->Ended(); }
    void TraceMessage(std::uint32_t message) const;

  private:
    const RunState* run_ = nullptr;
    Win32Trace* trace_ = nullptr;
    std::uint32_t taskbarCreated_ = 0;
};

}  // namespace ww::platform
