#include "platform/linux/qt/LinuxWindowMessages.h"

namespace ww::platform {

LinuxWindowMessages::LinuxWindowMessages(WindowTable& table) : table_(table) {}

std::uint32_t LinuxWindowMessages::RegisterWindowMessageA(std::string_view name) {
    return name.empty() ? 0 : WindowTable::Register(name);
}

WndProc LinuxWindowMessages::SetWindowLongA(Hwnd window, int index, WndProc proc) {
    if (index != kGwlWndProc) {
        return nullptr;
    }
    return table_.SetProc(window, proc);
}

std::intptr_t LinuxWindowMessages::CallWindowProcA(WndProc previous, Hwnd window,
                                                   std::uint32_t message, std::uintptr_t wParam,
                                                   std::intptr_t lParam) {
    return previous == nullptr ? 0 : previous(window, message, wParam, lParam);
}

std::intptr_t LinuxWindowMessages::SendMessageA(Hwnd window, std::uint32_t message,
                                                std::uintptr_t wParam, std::intptr_t lParam) {
    return table_.Send(window, message, wParam, lParam);
}

bool LinuxWindowMessages::SetForegroundWindow(Hwnd window) {
    const auto found = widgets_.find(window);
    if (found != widgets_.end() && !found->second.isNull()) {
        QWidget* widget = found->second.data();
        widget->raise();
        widget->activateWindow();
        return true;
    }
    return table_.Exists(window);
}

void LinuxWindowMessages::RegisterWidget(Hwnd window, QWidget* widget) {
    widgets_[window] = widget;
}

}  // namespace ww::platform
