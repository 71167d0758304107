#include "platform/linux/x11/X11Session.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <cstdlib>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/Xlib.h>

namespace ww::platform {
namespace {

// Windows of other clients (a tray host) may vanish between our look at them
// and our request; the default handler would end the process for that.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

std::optional<std::string> X11Session::CheckDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        return std::string("wakewatch: no display (DISPLAY is not set)");
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        return "wakewatch: cannot open display \"" + std::string(name) + "\"";
    }
    XCloseDisplay(display);
    return std::nullopt;
}

X11Session::X11Session() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return;
    }
    XSetErrorHandler(&IgnoreXErrors);
    screen_ = XDefaultScreen(display_);
    root_ = XRootWindow(display_, screen_);
    width_ = XDisplayWidth(display_, screen_);
    height_ = XDisplayHeight(display_, screen_);
    // Root StructureNotify: size changes here, tray MANAGER messages for the watcher.
    XSelectInput(display_, root_, StructureNotifyMask);
    XFlush(display_);

    notifier_ =
        std::make_unique<QSocketNotifier>(XConnectionNumber(display_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { Drain(); });
}

X11Session::X11Session(Unconnected) {}

X11Session::~X11Session() {
    notifier_.reset();
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

void X11Session::AddEventHandler(EventHandler handler) {
    handlers_.push_back(std::move(handler));
}

void X11Session::ScheduleDrain() {
    if (display_ == nullptr || drainQueued_ || XEventsQueued(display_, QueuedAlready) == 0) {
        return;
    }
    drainQueued_ = true;
    QMetaObject::invokeMethod(
        notifier_.get(),
        [this] {
            drainQueued_ = false;
            Drain();
        },
        Qt::QueuedConnection);
}

void X11Session::Drain() {
    while (display_ != nullptr && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Dispatch(event);
    }
}

void X11Session::Dispatch(const XEvent& event) {
    if (event.type == ConfigureNotify && event.xconfigure.window == root_) {
        width_ = event.xconfigure.width;
        height_ = event.xconfigure.height;
    }
    for (const EventHandler& handler : handlers_) {
        handler(event);
    }
}

void X11Session::ForceScreenSaverActive() {
    if (display_ == nullptr) {
        return;
    }
    XForceScreenSaver(display_, ScreenSaverActive);
    XFlush(display_);
}

bool X11Session::QueryPointer(int& x, int& y) {
    if (display_ == nullptr) {
        return false;
    }
    Window rootReturn = 0;
    Window child = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    const bool ok =
        XQueryPointer(display_, root_, &rootReturn, &child, &x, &y, &winX, &winY, &mask) != 0;
    ScheduleDrain();
    return ok && rootReturn == root_;
}

}  // namespace ww::platform
