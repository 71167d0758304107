#pragma once

#include <cstdint>

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

// Whether the pointer is where a tray host could be showing our tooltip.
//
// Hosts show a tooltip only under the pointer, and some (Plasma's) read every
// property of the item again on each tooltip change, a cost the panel pays
// every second for a tooltip nobody looks at. Over an application's window or
// the desktop background no tray tooltip can show, so changes can wait there.
// Where this cannot be told (no window manager names the windows' kinds), the
// answer is yes.
class X11TrayHover {
  public:
    // `display` is the program's X connection and must outlive this object.
    explicit X11TrayHover(_XDisplay* display);

    // A few round trips: the pointer, then down the windows under it to the
    // first whose kind is known. Only ordinary windows, dialogs and the
    // desktop hide every tray; docks, menus, popups and the rest may hold one.
    bool PointerMayBeOnTray();

  private:
    bool WindowManagerNamesKinds();
    bool TrayMayShowOver(unsigned long windowType) const;

    _XDisplay* display_;
    unsigned long root_;
    unsigned long supportingCheck_;
    unsigned long windowType_;
    unsigned long wmState_;
    unsigned long normal_;
    unsigned long dialog_;
    unsigned long desktop_;
};

}  // namespace ww::platform
