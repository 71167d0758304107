#include "tests/e2e/XProbe.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace ww::e2e {

namespace {

// Windows come and go while the probe walks the tree; a vanished window is an
// empty answer, not a reason to end the test process.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

int Shift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1UL) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

XProbe::XProbe(const std::string& display) {
    XSetErrorHandler(IgnoreXErrors);
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot open X display " + display);
    }
}

XProbe::~XProbe() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

XWindow XProbe::Root() const {
    return DefaultRootWindow(display_);
}

unsigned long XProbe::Atom(const char* name) const {
    return XInternAtom(display_, name, False);
}

std::vector<XWindow> XProbe::Children(XWindow window) const {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<XWindow> result;
    if (XQueryTree(display_, window, &root, &parent, &children, &count) != 0 &&
        children != nullptr) {
        result.assign(children, children + count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return result;
}

std::vector<XWindow> XProbe::Descendants(XWindow window) const {
    std::vector<XWindow> result;
    for (XWindow child : Children(window)) {
        result.push_back(child);
        auto below = Descendants(child);
        result.insert(result.end(), below.begin(), below.end());
    }
    return result;
}

std::vector<unsigned char> XProbe::Property(XWindow window, const char* name, unsigned long* type,
                                            int* format) const {
    ::Atom actualType = 0;
    int actualFormat = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> bytes;
    if (XGetWindowProperty(display_, window, Atom(name), 0, 1L << 16, False, AnyPropertyType,
                           &actualType, &actualFormat, &items, &after, &data) == Success &&
        data != nullptr) {
        // Xlib hands 32-bit items over as longs.
        const std::size_t size = actualFormat == 32   ? sizeof(long)
                                 : actualFormat == 16 ? sizeof(short)
                                                      : 1;
        bytes.assign(data, data + items * size);
    }
    if (data != nullptr) {
        XFree(data);
    }
    if (type != nullptr) {
        *type = actualType;
    }
    if (format != nullptr) {
        *format = actualFormat;
    }
    return bytes;
}

bool XProbe::HasProperty(XWindow window, const char* name) const {
    unsigned long type = 0;
    Property(window, name, &type);
    return type != None;
}

std::string XProbe::Name(XWindow window) const {
    auto bytes = Property(window, "_NET_WM_NAME");
    if (bytes.empty()) {
        bytes = Property(window, "WM_NAME");
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string XProbe::Class(XWindow window) const {
    auto bytes = Property(window, "WM_CLASS");
    std::string text(bytes.begin(), bytes.end());
    // "instance\0class\0" becomes "instance.class".
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    std::replace(text.begin(), text.end(), '\0', '.');
    return text;
}

std::optional<pid_t> XProbe::Pid(XWindow window) const {
    int format = 0;
    auto bytes = Property(window, "_NET_WM_PID", nullptr, &format);
    if (format != 32 || bytes.size() < sizeof(long)) {
        return std::nullopt;
    }
    long pid = 0;
    std::memcpy(&pid, bytes.data(), sizeof pid);
    return static_cast<pid_t>(pid);
}

std::optional<Rect> XProbe::RootGeometry(XWindow window) const {
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(display_, window, &attrs) == 0) {
        return std::nullopt;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    if (XTranslateCoordinates(display_, window, Root(), 0, 0, &x, &y, &child) == 0) {
        return std::nullopt;
    }
    return Rect{x, y, attrs.width, attrs.height};
}

bool XProbe::Viewable(XWindow window) const {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(display_, window, &attrs) != 0 && attrs.map_state == IsViewable;
}

bool XProbe::OverrideRedirect(XWindow window) const {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(display_, window, &attrs) != 0 && attrs.override_redirect;
}

std::vector<XWindow> XProbe::FindByName(const std::string& name) const {
    std::vector<XWindow> result;
    for (XWindow window : Descendants(Root())) {
        if (Name(window) == name && Viewable(window)) {
            result.push_back(window);
        }
    }
    return result;
}

std::vector<XWindow> XProbe::TopLevelsOf(pid_t pid) const {
    std::vector<XWindow> result;
    for (XWindow window : Children(Root())) {
        if (Viewable(window) && (pid == 0 || Pid(window) == pid)) {
            result.push_back(window);
        }
    }
    return result;
}

std::vector<XWindow> XProbe::OverrideRedirectWindows() const {
    std::vector<XWindow> result;
    for (XWindow window : Children(Root())) {
        if (Viewable(window) && OverrideRedirect(window)) {
            result.push_back(window);
        }
    }
    return result;
}

XWindow XProbe::TraySelectionOwner() const {
    return XGetSelectionOwner(display_, Atom("_NET_SYSTEM_TRAY_S0"));
}

XWindow XProbe::TrayPanel() const {
    for (XWindow window : Children(Root())) {
        if (Class(window) == "panel.trayer" && Viewable(window)) {
            return window;
        }
    }
    return 0;
}

std::vector<XWindow> XProbe::DockedClients(XWindow panel) const {
    std::vector<XWindow> result;
    if (panel == 0) {
        return result;
    }
    for (XWindow window : Descendants(panel)) {
        if (HasProperty(window, "_XEMBED_INFO")) {
            result.push_back(window);
        }
    }
    return result;
}

std::vector<std::uint32_t> XProbe::Pixels(const Rect& rect) const {
    std::vector<std::uint32_t> pixels;
    if (rect.width <= 0 || rect.height <= 0) {
        return pixels;
    }
    XImage* image = XGetImage(display_, Root(), rect.x, rect.y, static_cast<unsigned>(rect.width),
                              static_cast<unsigned>(rect.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    const int rs = Shift(image->red_mask);
    const int gs = Shift(image->green_mask);
    const int bs = Shift(image->blue_mask);
    pixels.reserve(static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(rect.height));
    for (int y = 0; y < rect.height; ++y) {
        for (int x = 0; x < rect.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const auto r = static_cast<std::uint32_t>((p & image->red_mask) >> rs) & 0xFF;
            const auto g = static_cast<std::uint32_t>((p & image->green_mask) >> gs) & 0xFF;
            const auto b = static_cast<std::uint32_t>((p & image->blue_mask) >> bs) & 0xFF;
            pixels.push_back(r << 16 | g << 8 | b);
        }
    }
    XDestroyImage(image);
    return pixels;
}

int XProbe::SaverTimeout() const {
    int timeout = 0;
    int interval = 0;
    int blanking = 0;
    int exposures = 0;
    XGetScreenSaver(display_, &timeout, &interval, &blanking, &exposures);
    return timeout;
}

int XProbe::SaverState() const {
    int event = 0;
    int error = 0;
    if (!XScreenSaverQueryExtension(display_, &event, &error)) {
        return -1;
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    int state = -1;
    if (info != nullptr && XScreenSaverQueryInfo(display_, Root(), info) != 0) {
        state = info->state;
    }
    if (info != nullptr) {
        XFree(info);
    }
    return state;
}

}  // namespace ww::e2e
