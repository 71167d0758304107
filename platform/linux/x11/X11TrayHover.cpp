#include "platform/linux/x11/X11TrayHover.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <optional>

namespace ww::platform {

namespace {

// A window that goes while we look gives BadWindow: it is then no longer
// under the pointer either.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// The first atom of a property, if the window has it.
std::optional<Atom> FirstAtom(Display* display, ::Window window, Atom property, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 1, False, type, &actual,
                                          &format, &count, &after, &data);
    std::optional<Atom> first;
    if (status == Success && actual == type && format == 32 && count > 0 && data != nullptr) {
        first = static_cast<Atom>(reinterpret_cast<unsigned long*>(data)[0]);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return first;
}

bool HasProperty(Display* display, ::Window window, Atom property) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                          &actual, &format, &count, &after, &data);
    if (data != nullptr) {
        XFree(data);
    }
    return status == Success && actual != 0;
}

}  // namespace

X11TrayHover::X11TrayHover(_XDisplay* display)
    : display_(display),
      root_(XDefaultRootWindow(display)),
      supportingCheck_(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      windowType_(XInternAtom(display, "_NET_WM_WINDOW_TYPE", False)),
      wmState_(XInternAtom(display, "WM_STATE", False)),
      normal_(XInternAtom(display, "_NET_WM_WINDOW_TYPE_NORMAL", False)),
      dialog_(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False)),
      desktop_(XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False)) {}

bool X11TrayHover::TrayMayShowOver(unsigned long windowType) const {
    return windowType != normal_ && windowType != dialog_ && windowType != desktop_;
}

bool X11TrayHover::WindowManagerNamesKinds() {
    // An EWMH window manager says so on the root; without one, windows
    // carry no kinds to go by.
    return FirstAtom(display_, root_, supportingCheck_, XA_WINDOW).has_value();
}

bool X11TrayHover::PointerMayBeOnTray() {
    XSync(display_, False);
    const XErrorHandler previous = XSetErrorHandler(&IgnoreErrors);
    bool may = true;
    if (WindowManagerNamesKinds()) {
        // Over the bare root (or a frame's border) nothing of a tray shows.
        may = false;
        ::Window window = root_;
        // Frames nest the client a level or two down.
        for (int depth = 0; depth < 4; ++depth) {
            ::Window root = 0;
            ::Window child = 0;
            int rootX = 0;
            int rootY = 0;
            int x = 0;
            int y = 0;
            unsigned int buttons = 0;
            if (XQueryPointer(display_, window, &root, &child, &rootX, &rootY, &x, &y, &buttons) ==
                    0 ||
                child == 0) {
                break;
            }
            window = child;
            if (const std::optional<Atom> type =
                    FirstAtom(display_, window, windowType_, XA_ATOM)) {
                may = TrayMayShowOver(*type);
                break;
            }
            // An untyped client is an ordinary window.
            if (HasProperty(display_, window, wmState_)) {
                break;
            }
        }
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    return may;
}

}  // namespace ww::platform
