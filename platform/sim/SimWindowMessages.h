#pragma once

#include <vector>

#include "platform/common/WindowTable.h"
#include "platform/ports/WindowMessages.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// Window procedures and messages over the shared window table.
class SimWindowMessages : public WindowMessages {
  public:
    SimWindowMessages(SimLog& log, WindowTable& table) : log_(log), table_(table) {}

    std::uint32_t RegisterWindowMessageA(std::string_view name) override;
    WndProc SetWindowLongA(Hwnd window, int index, WndProc proc) override;
    std::intptr_t CallWindowProcA(WndProc previous, Hwnd window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    // True for an existing window.
    bool SetForegroundWindow(Hwnd window) override;

    // --- control ---
    // While set, RegisterWindowMessageA returns 0.
    void SetRegisterFails(bool fails) { registerFails_ = fails; }
    const std::vector<Hwnd>& ForegroundRequests() const { return foreground_; }
    WindowTable& Table() { return table_; }

  private:
    SimLog& log_;
    WindowTable& table_;
    bool registerFails_ = false;
    std::vector<Hwnd> foreground_;
};

}  // namespace ww::platform
