#include "platform/sim/SimTrayMenu.h"

#include <string>

namespace ww::platform {

void SimTrayMenu::CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                             TrayMenuEvents& events) {
    log_.Add("CreateMenu(" + std::to_string(items.size()) + ", " + std::to_string(defaultId) + ")");
    items_ = items;
    defaultId_ = defaultId;
    events_ = &events;
    states_.clear();
    for (const auto& item : items_) {
        states_[item.id] = ItemState{};
    }
}

void SimTrayMenu::SetItemState(int id, bool checked, bool enabled) {
    log_.Add("SetItemState(" + std::to_string(id) + ", " + std::to_string(checked ? 1 : 0) + ", " +
             std::to_string(enabled ? 1 : 0) + ")");
    states_[id] = ItemState{checked, enabled};
}

void SimTrayMenu::PopupMenu() {
    log_.Add("PopupMenu");
    popups_.push_back(states_);
    const int choice = nextChoice_;
    nextChoice_ = 0;
    if (choice != 0) {
        Choose(choice);
    }
}

bool SimTrayMenu::Choose(int id) {
    if (events_ == nullptr || !states_.contains(id) || !states_.at(id).enabled) {
        return false;  // a greyed item cannot be chosen
    }
    for (const auto& item : items_) {
        if (item.id == id && item.caption == "-") {
            return false;
        }
    }
    events_->MenuCommand(id);
    return true;
}

SimTrayMenu::ItemState SimTrayMenu::State(int id) const {
    const auto found = states_.find(id);
    return found == states_.end() ? ItemState{} : found->second;
}

}  // namespace ww::platform
