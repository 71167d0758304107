#include "platform/common/WindowTable.h"

#include <algorithm>
#include <map>
#include <memory>

namespace ww::platform {
namespace {

struct Window {
    WndProc current = nullptr;
    WindowTable::DefaultHandler handler;
};

// Handles are process-wide so that DefaultProc, a plain function pointer,
// can find the handler of any window of any table.
std::map<Hwnd, std::shared_ptr<Window>>& Windows() {
    static std::map<Hwnd, std::shared_ptr<Window>> windows;
    return windows;
}

Hwnd& LastHandle() {
    static Hwnd last = 0x100;
    return last;
}

std::shared_ptr<Window> Find(Hwnd window) {
    auto it = Windows().find(window);
    return it == Windows().end() ? nullptr : it->second;
}

}  // namespace

WindowTable::~WindowTable() {
    // Destroy in reverse order of creation, children (made later) first.
    while (!owned_.empty()) {
        Destroy(owned_.back());
    }
}

Hwnd WindowTable::Create(DefaultHandler handler) {
    Hwnd handle = ++LastHandle();
    auto window = std::make_shared<Window>();
    window->current = &WindowTable::DefaultProc;
    window->handler = std::move(handler);
    Windows()[handle] = std::move(window);
    owned_.push_back(handle);
    return handle;
}

void WindowTable::Destroy(Hwnd window) {
    auto it = std::find(owned_.begin(), owned_.end(), window);
    if (it == owned_.end()) {
        return;
    }
    owned_.erase(it);
    Send(window, msg::kDestroy, 0, 0);
    Send(window, msg::kNcDestroy, 0, 0);
    Windows().erase(window);
}

bool WindowTable::Exists(Hwnd window) const {
    return Find(window) != nullptr;
}

WndProc WindowTable::SetProc(Hwnd window, WndProc proc) {
    auto entry = Find(window);
    if (!entry || proc == nullptr) {
        return nullptr;
    }
    WndProc previous = entry->current;
    entry->current = proc;
    return previous;
}

std::intptr_t WindowTable::DefaultProc(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    // Keep the entry alive while its handler runs; it may destroy the window.
    auto entry = Find(window);
    if (!entry || !entry->handler) {
        return 0;
    }
    auto handler = entry->handler;
    return handler(message, wParam, lParam);
}

std::intptr_t WindowTable::Send(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    auto entry = Find(window);
    if (!entry || entry->current == nullptr) {
        return 0;
    }
    return entry->current(window, message, wParam, lParam);
}

std::uint32_t WindowTable::Register(std::string_view name) {
    static std::map<std::string, std::uint32_t, std::less<>> numbers;
    auto it = numbers.find(name);
    if (it != numbers.end()) {
        return it->second;
    }
    auto number = static_cast<std::uint32_t>(0xC000 + numbers.size());
    numbers.emplace(std::string(name), number);
    return number;
}

}  // namespace ww::platform
