#pragma once

#include "platform/ports/TrayMenu.h"
#include "platform/win32/Win32Trace.h"

namespace ww::platform {

// Writes the popup menu's trace lines ("menu shown", "menu command <id>")
// around the menu that really shows, which knows nothing of the trace.
class TracingTrayMenu final : public TrayMenu, private TrayMenuEvents {
  public:
    TracingTrayMenu(TrayMenu& menu, Win32Trace& trace) : menu_(menu), trace_(trace) {}

    void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                    TrayMenuEvents& events) override;
    void SetItemState(int id, bool checked, bool enabled) override;
    void PopupMenu() override;

  private:
    void MenuCommand(int id) override;

    TrayMenu& menu_;
    Win32Trace& trace_;
    TrayMenuEvents* events_ = nullptr;
};

}  // namespace ww::platform
