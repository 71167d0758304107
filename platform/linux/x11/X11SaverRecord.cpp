#include "platform/linux/x11/X11SaverRecord.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace ww::platform {
namespace {

constexpr const char* kRecordName = "_WAKEWATCH_SAVER_OFF";
constexpr unsigned long kMaxTimeout = 32767;

// Up to `count` CARDINALs of `window`'s record; empty when there is none, or
// the window is gone.
std::vector<unsigned long> ReadCardinals(Display* display, Window window, ::Atom atom, long count) {
    ::Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, atom, 0, count, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && data != nullptr) {
        // Xlib hands 32-bit items over as longs.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + items);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

// A window that is gone answers BadWindow; the check expects that.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

X11SaverRecord::X11SaverRecord(Display* display) : display_(display) {
    root_ = XDefaultRootWindow(display_);
    atom_ = XInternAtom(display_, kRecordName, False);
}

X11SaverRecord::~X11SaverRecord() {
    if (owner_ != 0) {
        XDestroyWindow(display_, owner_);
        XFlush(display_);
    }
}

bool X11SaverRecord::OwnerAlive(unsigned long owner) {
    XSync(display_, False);
    const XErrorHandler previous = XSetErrorHandler(&IgnoreErrors);
    const std::vector<unsigned long> mark = ReadCardinals(display_, owner, atom_, 1);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return mark.size() == 1 && mark[0] == owner;
}

std::optional<X11SaverRecord::Leftover> X11SaverRecord::TakeLeftover() {
    const std::vector<unsigned long> record = ReadCardinals(display_, root_, atom_, 2);
    if (record.size() != 2 || OwnerAlive(record[1])) {
        return std::nullopt;
    }
    XDeleteProperty(display_, root_, atom_);
    XFlush(display_);
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
    XGetScreenSaver(display_, &timeout, &interval, &preferBlanking, &allowExposures);
    if (timeout != 0) {
        return std::nullopt;  // the user has set a timeout since
    }
    // The protocol carries the timeout in 16 signed bits: a larger number
    // would wrap to another timeout or be refused.
    Leftover leftover{std::nullopt, record[0]};
    if (record[0] >= 1 && record[0] <= kMaxTimeout) {
        leftover.timeout = static_cast<int>(record[0]);
    }
    return leftover;
}

void X11SaverRecord::Write(int oldTimeout) {
    if (owner_ == 0) {
        XSetWindowAttributes attributes{};
        owner_ = XCreateWindow(display_, root_, -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent, 0,
                               &attributes);
        const unsigned long self[] = {owner_};
        XChangeProperty(display_, owner_, atom_, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(self), 1);
    }
    const unsigned long record[] = {static_cast<unsigned long>(oldTimeout), owner_};
    XChangeProperty(display_, root_, atom_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(record), 2);
    XFlush(display_);
    written_ = true;
}

void X11SaverRecord::Erase() {
    if (!written_) {
        return;
    }
    XDeleteProperty(display_, root_, atom_);
    XFlush(display_);
    written_ = false;
}

}  // namespace ww::platform
