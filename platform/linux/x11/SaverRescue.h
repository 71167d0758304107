#pragma once

#include <signal.h>

#include <array>

struct xcb_connection_t;

namespace ww::platform {

// Puts the X saver back on the ways out that run no destructor: exit() from
// inside the event loop (Qt's own X connection breaking, e.g. `xkill` on the
// icon), this program's Xlib connection breaking (its I/O error handler),
// SIGQUIT or SIGABRT, and a crash (SIGSEGV, SIGBUS, SIGFPE, SIGILL; under
// AddressSanitizer its own report handles those, and the rescue runs as it
// dies). While armed it keeps a spare X connection and the two
// requests that undo the hold (SetScreenSaver with the old timeout, and
// DeleteProperty of the root window's record), ready encoded, so that a signal
// handler only has to write() them. One instance at a time; the previous
// handlers come back when it goes.
class SaverRescue {
  public:
    // `displayName` as XDisplayString gives it; `root` and `recordAtom` name
    // the record to delete.
    SaverRescue(const char* displayName, unsigned long root, unsigned long recordAtom);
    ~SaverRescue();
    SaverRescue(const SaverRescue&) = delete;
    SaverRescue& operator=(const SaverRescue&) = delete;

    // From now on an abnormal end sets these screen-saver values and deletes
    // the record. False when the spare connection cannot be had.
    bool Arm(int timeout, int interval, int preferBlanking, int allowExposures);
    // The hold is over: nothing to put back.
    void Disarm();

    // Sends the requests when armed, then disarms. Async-signal-safe.
    static void Fire();

#if defined(__SANITIZE_ADDRESS__)
    static constexpr std::array<int, 2> kSignals = {SIGQUIT, SIGABRT};
#else
    static constexpr std::array<int, 6> kSignals = {SIGQUIT, SIGABRT, SIGSEGV,
                                                    SIGBUS,  SIGFPE,  SIGILL};
#endif

  private:
    static void OnSignal(int signal);

    xcb_connection_t* spare_ = nullptr;
    const char* displayName_;
    unsigned long root_;
    unsigned long recordAtom_;
    std::array<struct sigaction, kSignals.size()> previous_{};
};

}  // namespace ww::platform
