#include "platform/linux/tray/xembed/XEmbedTrayWatcher.h"

#include <string>

#include <X11/Xlib.h>

namespace ww::platform {

XEmbedTrayWatcher::XEmbedTrayWatcher(X11Session& x11) : x11_(x11) {}

void XEmbedTrayWatcher::Start() {
    Display* display = x11_.Connection();
    if (display == nullptr) {
        return;
    }
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(x11_.ScreenNumber());
    selection_ = XInternAtom(display, name.c_str(), False);
    manager_ = XInternAtom(display, "MANAGER", False);
    x11_.AddEventHandler([this](const XEvent& event) { OnEvent(event); });
    owner_ = CurrentOwner();
}

unsigned long XEmbedTrayWatcher::CurrentOwner() {
    Display* display = x11_.Connection();
    // With the server grabbed the owner cannot die between the look-up and
    // our request for its DestroyNotify.
    XGrabServer(display);
    const Window owner = XGetSelectionOwner(display, selection_);
    if (owner != 0) {
        XSelectInput(display, owner, StructureNotifyMask);
    }
    XUngrabServer(display);
    XFlush(display);
    x11_.ScheduleDrain();
    return owner;
}

void XEmbedTrayWatcher::OnEvent(const XEvent& event) {
    if (event.type == ClientMessage && event.xclient.message_type == manager_ &&
        static_cast<unsigned long>(event.xclient.data.l[1]) == selection_) {
        // Already known when we found it ourselves right after a DestroyNotify.
        const Window owner = CurrentOwner();
        if (owner != 0 && owner != owner_) {
            owner_ = owner;
            if (onAppeared) {
                onAppeared();
            }
        }
        return;
    }
    if (event.type == DestroyNotify && owner_ != 0 && event.xdestroywindow.window == owner_) {
        owner_ = 0;
        if (onLost) {
            onLost();
        }
        // A successor may have taken the selection before we heard of it.
        owner_ = CurrentOwner();
        if (owner_ != 0 && onAppeared) {
            onAppeared();
        }
    }
}

}  // namespace ww::platform
