#include "platform/linux/x11/X11CursorScreen.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace ww::platform {

X11CursorScreen::X11CursorScreen(_XDisplay* display)
    : display_(display), root_(XDefaultRootWindow(display)) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // Monitors (and their primary flag) need RandR 1.5; older servers get
    // the whole X screen.
    if (XRRQueryExtension(display_, &eventBase, &errorBase) != 0 &&
        XRRQueryVersion(display_, &major, &minor) != 0 &&
        (major > 1 || (major == 1 && minor >= 5))) {
        randrEventBase_ = eventBase;
    }
}

void X11CursorScreen::Refresh() {
    stale_ = false;
    // Asked of the server: Xlib's own copy of the screen size only follows
    // changes for clients that pass every event through XRRUpdateConfiguration.
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    left_ = 0;
    top_ = 0;
    width_ = 0;
    height_ = 0;
    if (XGetGeometry(display_, root_, &root, &x, &y, &width, &height, &border, &depth) != 0) {
        width_ = static_cast<std::int32_t>(width);
        height_ = static_cast<std::int32_t>(height);
    }
    if (randrEventBase_ < 0) {
        return;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display_, root_, True, &count);
    if (monitors == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (monitors[i].primary != 0) {
            left_ = monitors[i].x;
            top_ = monitors[i].y;
            width_ = monitors[i].width;
            height_ = monitors[i].height;
            break;
        }
    }
    XRRFreeMonitors(monitors);
}

std::int32_t X11CursorScreen::GetSystemMetrics(int index) {
    if (index != kSmCxScreen && index != kSmCyScreen) {
        return 0;
    }
    if (stale_) {
        Refresh();
    }
    return index == kSmCxScreen ? width_ : height_;
}

bool X11CursorScreen::GetCursorPos(Point& point) {
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(display_, root_, &root, &child, &rootX, &rootY, &windowX, &windowY,
                      &buttons) == 0) {
        return false;
    }
    if (stale_) {
        Refresh();
    }
    point = {rootX - left_, rootY - top_};
    return true;
}

void X11CursorScreen::SelectScreenEvents() {
    // Monitor changes come as ConfigureNotify of the root; added to what this
    // client already selects there, which others on the connection rely on.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, root_, &attributes) != 0) {
        XSelectInput(display_, root_, attributes.your_event_mask | StructureNotifyMask);
    }
    if (randrEventBase_ >= 0) {
        XRRSelectInput(
            display_, root_,
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    }
    XFlush(display_);
}

void X11CursorScreen::OnXEvent(std::uint8_t type, std::uint32_t window) {
    if (type == ConfigureNotify && window == root_) {
        stale_ = true;
        return;
    }
    if (randrEventBase_ >= 0 &&
        (type == randrEventBase_ + RRScreenChangeNotify || type == randrEventBase_ + RRNotify)) {
        stale_ = true;
    }
}

}  // namespace ww::platform
