#include "platform/linux/x11/XScreenSaverDaemon.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace ww::platform {

namespace {

// A window that goes between the query and the read gives BadWindow: it is
// simply not xscreensaver's.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool HasVersion(Display* display, ::Window window, Atom version) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, version, 0, 64, False, XA_STRING, &type,
                                          &format, &count, &after, &data);
    if (data != nullptr) {
        XFree(data);
    }
    return status == Success && type == XA_STRING && count > 0;
}

}  // namespace

XScreenSaverDaemon::XScreenSaverDaemon(Display* display) : display_(display) {}

unsigned long XScreenSaverDaemon::Window() {
    const Atom version = XInternAtom(display_, "_SCREENSAVER_VERSION", False);
    ::Window root = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    XSync(display_, False);
    const XErrorHandler previous = XSetErrorHandler(&IgnoreErrors);
    ::Window found = 0;
    if (XQueryTree(display_, XDefaultRootWindow(display_), &root, &parent, &children, &count) !=
        0) {
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            if (HasVersion(display_, children[i], version)) {
                found = children[i];
            }
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    XSync(display_, False);
    XSetErrorHandler(previous);
    return found;
}

bool XScreenSaverDaemon::Command(const char* name) {
    const ::Window window = Window();
    if (window == 0) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display_;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "SCREENSAVER", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, name, False));
    XSync(display_, False);
    const XErrorHandler previous = XSetErrorHandler(&IgnoreErrors);
    const Status sent = XSendEvent(display_, window, False, 0L, &event);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return sent != 0;
}

bool XScreenSaverDaemon::Activate() {
    return Command("ACTIVATE");
}

bool XScreenSaverDaemon::Deactivate() {
    return Command("DEACTIVATE");
}

}  // namespace ww::platform
