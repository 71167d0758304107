#pragma once

#include <windows.h>

#include <functional>

#include "platform/ports/TrayMenu.h"

namespace ww::platform {

// The tray icon's popup menu as a system popup menu, shown at the cursor on
// behalf of the tray form's window (`owner`), which must be the foreground
// window for the menu to close when the user clicks elsewhere.
class Win32TrayMenu final : public TrayMenu {
  public:
    explicit Win32TrayMenu(std::function<HWND()> owner);
    ~Win32TrayMenu() override;
    Win32TrayMenu(const Win32TrayMenu&) = delete;
    Win32TrayMenu& operator=(const Win32TrayMenu&) = delete;

    void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                    TrayMenuEvents& events) override;
    void SetItemState(int id, bool checked, bool enabled) override;
    // Returns once the menu has closed; the chosen item, if any, has been
    // reported by then.
    void PopupMenu() override;

    HMENU Menu() const { return menu_; }  // for tests; null before CreateMenu

  private:
    std::function<HWND()> owner_;
    HMENU menu_ = nullptr;
    TrayMenuEvents* events_ = nullptr;
};

}  // namespace ww::platform
