#include "platform/win32/Win32TrayMenu.h"

#include <utility>

#include "platform/win32/SystemCodePage.h"

namespace ww::platform {

Win32TrayMenu::Win32TrayMenu(std::function<HWND()> owner) : owner_(std::move(owner)) {}

Win32TrayMenu::~Win32TrayMenu() {
    if (menu_ != nullptr) {
        ::DestroyMenu(menu_);
    }
}

void Win32TrayMenu::CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                               TrayMenuEvents& events) {
    if (menu_ != nullptr) {
        ::DestroyMenu(menu_);
    }
    menu_ = ::CreatePopupMenu();
    events_ = &events;
    if (menu_ == nullptr) {
        return;
    }
    for (const MenuItem& item : items) {
        if (item.caption == "-") {
            ::AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        } else {
            ::AppendMenuA(menu_, MF_STRING, static_cast<UINT_PTR>(static_cast<unsigned>(item.id)),
                          ToSystemCodePage(item.caption).c_str());
        }
    }
    ::SetMenuDefaultItem(menu_, static_cast<UINT>(defaultId), FALSE);
}

void Win32TrayMenu::SetItemState(int id, bool checked, bool enabled) {
    if (menu_ == nullptr) {
        return;
    }
    const auto item = static_cast<UINT>(id);
    const UINT check = checked ? MF_CHECKED : MF_UNCHECKED;
    const UINT grey = enabled ? MF_ENABLED : MF_GRAYED;
    ::CheckMenuItem(menu_, item, MF_BYCOMMAND | check);
    ::EnableMenuItem(menu_, item, MF_BYCOMMAND | grey);
}

void Win32TrayMenu::PopupMenu() {
    if (menu_ == nullptr) {
        return;
    }
    HWND owner = owner_ ? owner_() : nullptr;
    POINT at{};
    ::GetCursorPos(&at);
    if (owner != nullptr) {
        ::SetForegroundWindow(owner);
    }
    const BOOL chosen = ::TrackPopupMenu(menu_, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                                         at.y, 0, owner, nullptr);
    if (owner != nullptr) {
        // The menu's owner must get a message after the menu, or a second
        // popup may close at once.
        ::PostMessageA(owner, WM_NULL, 0, 0);
    }
    if (chosen != 0 && events_ != nullptr) {
        events_->MenuCommand(static_cast<int>(chosen));
    }
}

}  // namespace ww::platform
