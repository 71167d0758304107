#pragma once

#include <string>
#include <vector>

namespace ww::platform {

// One entry of the tray icon's popup menu. A caption "-" is a separator; an
// "&" marks the next letter as the access key.
struct MenuItem {
    int id = 0;
    std::string caption;
    // Carries a check mark when checked; hosts that draw the menu themselves
    // show it as a toggle either way.
    bool check = false;
};

class TrayMenuEvents {
  public:
    virtual ~TrayMenuEvents() = default;
    // The user chose the item `id`.
    virtual void MenuCommand(int id) = 0;
};

// The tray icon's popup menu, with a default item shown in bold.
class TrayMenu {
  public:
    virtual ~TrayMenu() = default;

    // Defines the menu once; choices are reported to `events`.
    virtual void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                            TrayMenuEvents& events) = 0;

    // Check mark and greying of an item, in force the next time the menu shows.
    virtual void SetItemState(int id, bool checked, bool enabled) = 0;

    // Pops the menu up at the mouse position. A backend whose tray host shows
    // the menu itself (it asked for it, and asked the program first through
    // the icon's right-press code) just lets that showing go on. The chosen
    // item arrives as MenuCommand.
    virtual void PopupMenu() = 0;

    // Whether a tray host may show the menu without the program being asked
    // first (a host that draws it itself and asks nothing before): then the
    // program keeps the checks and greys current between openings.
    virtual bool ShownWithoutAsking() const { return false; }
};

}  // namespace ww::platform
