#include "platform/sim/SimWindowMessages.h"

#include <string>

namespace ww::platform {
namespace {

std::string Args(Hwnd window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return std::to_string(window) + ", " + std::to_string(message) + ", " + std::to_string(wParam) +
           ", " + std::to_string(lParam) + ")";
}

}  // namespace

std::uint32_t SimWindowMessages::RegisterWindowMessageA(std::string_view name) {
    log_.Add("RegisterWindowMessageA(" + std::string(name) + ")");
    return registerFails_ ? 0 : WindowTable::Register(name);
}

WndProc SimWindowMessages::SetWindowLongA(Hwnd window, int index, WndProc proc) {
    log_.Add("SetWindowLongA(" + std::to_string(window) + ", " + std::to_string(index) + ")");
    if (index != kGwlWndProc) {
        return nullptr;
    }
    return table_.SetProc(window, proc);
}

std::intptr_t SimWindowMessages::CallWindowProcA(WndProc previous, Hwnd window,
                                                 std::uint32_t message, std::uintptr_t wParam,
                                                 std::intptr_t lParam) {
    log_.Add("CallWindowProcA(" + Args(window, message, wParam, lParam));
    return previous == nullptr ? 0 : previous(window, message, wParam, lParam);
}

std::intptr_t SimWindowMessages::SendMessageA(Hwnd window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    log_.Add("SendMessageA(" + Args(window, message, wParam, lParam));
    return table_.Send(window, message, wParam, lParam);
}

bool SimWindowMessages::SetForegroundWindow(Hwnd window) {
    log_.Add("SetForegroundWindow(" + std::to_string(window) + ")");
    foreground_.push_back(window);
    return table_.Exists(window);
}

}  // namespace ww::platform
