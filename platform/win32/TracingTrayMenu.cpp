#include "platform/win32/TracingTrayMenu.h"

#include <string>

namespace ww::platform {

void TracingTrayMenu::CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                                 TrayMenuEvents& events) {
    events_ = &events;
    menu_.CreateMenu(items, defaultId, *this);
}

void TracingTrayMenu::SetItemState(int id, bool checked, bool enabled) {
    menu_.SetItemState(id, checked, enabled);
}

void TracingTrayMenu::PopupMenu() {
    trace_.Write("menu shown");
    menu_.PopupMenu();
}

void TracingTrayMenu::MenuCommand(int id) {
    trace_.Write("menu command " + std::to_string(id));
    if (events_ != nullptr) {
        events_->MenuCommand(id);
    }
}

}  // namespace ww::platform
