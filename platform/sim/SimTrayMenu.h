#pragma once

#include <map>
#include <vector>

#include "platform/ports/TrayMenu.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The popup menu as data: its items, default, item states and how often it
// popped up. A popup closes at once, with the item the test chose for it.
class SimTrayMenu : public TrayMenu {
  public:
    struct ItemState {
        bool checked = false;
        bool enabled = true;
    };
    // An item's state as it was while one popup showed.
    using Snapshot = std::map<int, ItemState>;

    explicit SimTrayMenu(SimLog& log) : log_(log) {}

    void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                    TrayMenuEvents& events) override;
    void SetItemState(int id, bool checked, bool enabled) override;
    // Records the states shown, then reports the chosen item, if any.
    void PopupMenu() override;
    bool ShownWithoutAsking() const override { return shownWithoutAsking_; }

    // --- control ---
    // The next popup chooses `id` (0: closed without a choice); one popup only.
    void ChooseOnNextPopup(int id) { nextChoice_ = id; }
    // The user chooses `id` from a menu the tray host showed by itself.
    // False when there is no menu, no such item, or it is greyed or a separator.
    bool Choose(int id);
    // A tray host that shows the menu without asking the program first.
    void SetShownWithoutAsking(bool shown) { shownWithoutAsking_ = shown; }

    const std::vector<MenuItem>& Items() const { return items_; }
    int DefaultId() const { return defaultId_; }
    ItemState State(int id) const;
    // Each popup's item states, oldest first.
    const std::vector<Snapshot>& Popups() const { return popups_; }

  private:
    SimLog& log_;
    std::vector<MenuItem> items_;
    int defaultId_ = 0;
    TrayMenuEvents* events_ = nullptr;
    Snapshot states_;
    std::vector<Snapshot> popups_;
    int nextChoice_ = 0;
    bool shownWithoutAsking_ = false;
};

}  // namespace ww::platform
