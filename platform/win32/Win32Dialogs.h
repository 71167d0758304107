#pragma once

#include "platform/ports/UiRuntime.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// Message boxes with MessageBoxA: modal, owned by no window (the tray form
// is never shown), messages of the thread handled while one is open.
class Win32Dialogs final : public Dialogs {
  public:
    explicit Win32Dialogs(Win32Trace& trace) : trace_(trace) {}

    int MsgBox(std::string_view text, std::uint32_t style, std::string_view title) override;
    // The box is the thread's own dialog window ("#32770").
    bool RaiseOpenBox() override;

  private:
    Win32Trace& trace_;
    int open_ = 0;
};

}  // namespace ww::platform
