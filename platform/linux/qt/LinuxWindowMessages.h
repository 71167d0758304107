#pragma once

#include <QPointer>
#include <QWidget>
#include <map>

#include "platform/common/WindowTable.h"
#include "platform/ports/WindowMessages.h"

namespace ww::platform {

// Window procedures and messages over the window table. Windows that are
// real Qt widgets (registered here) can also be brought to the front.
class LinuxWindowMessages final : public WindowMessages {
  public:
    explicit LinuxWindowMessages(WindowTable& table);

    std::uint32_t RegisterWindowMessageA(std::string_view name) override;
    WndProc SetWindowLongA(Hwnd window, int index, WndProc proc) override;
    std::intptr_t CallWindowProcA(WndProc previous, Hwnd window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) override;
    std::intptr_t SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) override;
    // A real window is raised and activated; a hidden one (the tray form)
    // has nothing to show and succeeds.
    bool SetForegroundWindow(Hwnd window) override;

    // Ties a window of the table to the widget that shows it.
    void RegisterWidget(Hwnd window, QWidget* widget);

  private:
    WindowTable& table_;
    std::map<Hwnd, QPointer<QWidget>> widgets_;
};

}  // namespace ww::platform
