// A process that holds the X saver off and then crashes, built without
// sanitizers as the released program is: the rescue's own crash handlers run,
// not the sanitizer's. Arguments: the display and SEGV, STACK, BUS, FPE or ILL.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/linux/x11/SaverRescue.h"

#include <X11/Xlib.h>

namespace {

int Deeper(volatile int* depth) {
    volatile char frame[4096];
    if (*depth < 0) {
        return 0;  // never: the recursion has no end on purpose
    }
    frame[0] = static_cast<char>(*depth);
    *depth = *depth + 1;
    return Deeper(depth) + frame[0];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    Display* display = XOpenDisplay(argv[1]);
    if (display == nullptr) {
        return 3;
    }
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
    XGetScreenSaver(display, &timeout, &interval, &preferBlanking, &allowExposures);
    const Atom record = XInternAtom(display, "_WAKEWATCH_SAVER_OFF", False);
    ww::platform::SaverRescue rescue(XDisplayString(display), XDefaultRootWindow(display), record);
    if (!rescue.Arm(timeout, interval, preferBlanking, allowExposures)) {
        return 4;
    }
    XSetScreenSaver(display, 0, interval, preferBlanking, allowExposures);
    XSync(display, False);
    std::puts("held");
    std::fflush(stdout);

    const char* crash = argv[2];
    if (std::strcmp(crash, "SEGV") == 0) {
        *static_cast<volatile int*>(nullptr) = 1;
    } else if (std::strcmp(crash, "STACK") == 0) {
        volatile int depth = 0;
        return Deeper(&depth);
    } else if (std::strcmp(crash, "FPE") == 0) {
        volatile int zero = 0;
        volatile int seven = 7;  // 1 / x the compiler works out without dividing
        return seven / zero;
    } else if (std::strcmp(crash, "ILL") == 0) {
        __builtin_trap();
    } else if (std::strcmp(crash, "BUS") == 0) {
        raise(SIGBUS);
    }
    return 5;
}
