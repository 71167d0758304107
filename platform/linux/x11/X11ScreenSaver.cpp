#include "platform/linux/x11/X11ScreenSaver.h"

#include <X11/Xlib.h>

#include <cstdio>

#include "platform/linux/saver/SessionScreenSaver.h"

namespace ww::platform {
namespace {

// What XSetScreenSaver takes for "the server's own default".
constexpr int kServerDefaultTimeout = -1;

}  // namespace

X11ScreenSaver::X11ScreenSaver(_XDisplay* display, SessionScreenSaver* session)
    : display_(display),
      session_(session),
      record_(display),
      rescue_(XDisplayString(display), record_.Root(), record_.RecordAtom()) {
    if (const auto leftover = record_.TakeLeftover()) {
        const Timeouts values = Read();
        if (leftover->timeout) {
            Write(values, *leftover->timeout);
            std::fprintf(stderr,
                         "wakewatch: screen saver switched back on (timeout %d s), left off by a "
                         "run that ended without doing so\n",
                         *leftover->timeout);
        } else {
            Write(values, kServerDefaultTimeout);
            std::fprintf(stderr,
                         "wakewatch: screen saver switched back on with the X server's default "
                         "timeout: the record a run left behind names %lu s, which is no timeout "
                         "X can keep (1 to 32767 s)\n",
                         leftover->recorded);
        }
    }
}

X11ScreenSaver::~X11ScreenSaver() {
    RestoreOnExit();
}

X11ScreenSaver::Timeouts X11ScreenSaver::Read() {
    Timeouts values;
    XGetScreenSaver(display_, &values.timeout, &values.interval, &values.preferBlanking,
                    &values.allowExposures);
    return values;
}

void X11ScreenSaver::Write(const Timeouts& values, int timeout) {
    XSetScreenSaver(display_, timeout, values.interval, values.preferBlanking,
                    values.allowExposures);
    XFlush(display_);
}

bool X11ScreenSaver::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                           std::int32_t* pvParam, std::uint32_t) {
    if (action == spi::kGetScreenSaveActive) {
        if (pvParam == nullptr) {
            return false;
        }
        // The X timeout is the user's own switch, also on desktops whose
        // session service blanks the screen: a timeout of 0 means they chose
        // no saver. Held by this program, the saver is off either way.
        const bool held = session_ != nullptr && session_->Held();
        *pvParam = Read().timeout != 0 && !held ? 1 : 0;
        return true;
    }
    if (action == spi::kSetScreenSaveActive) {
        if (uiParam == 0) {
            SwitchOff();
        } else {
            SwitchOn();
        }
        return true;
    }
    return false;
}

void X11ScreenSaver::SwitchOff() {
    const Timeouts values = Read();
    if (values.timeout != 0) {
        restoreTimeout_ = values.timeout;
    }
    if (restoreTimeout_) {
        // Said and made undoable before it happens, so no way out misses it.
        record_.Write(*restoreTimeout_);
        rescue_.Arm(*restoreTimeout_, values.interval, values.preferBlanking,
                    values.allowExposures);
    }
    Write(values, 0);
    if (session_ != nullptr) {
        session_->Hold();
    }
}

// Undoes this program's own hold and nothing else: a timeout found at 0 was
// the user's (or the desktop's) choice, and one changed while held is theirs.
void X11ScreenSaver::SwitchOn() {
    const Timeouts values = Read();
    if (restoreTimeout_ && values.timeout == 0) {
        Write(values, *restoreTimeout_);
    }
    Forget();
    if (session_ != nullptr) {
        session_->Release();
    }
}

// The saver is back on: no record, nothing left to put back on the way out.
void X11ScreenSaver::Forget() {
    restoreTimeout_.reset();
    record_.Erase();
    rescue_.Disarm();
}

void X11ScreenSaver::StartScreenSaver() {
    XForceScreenSaver(display_, ScreenSaverActive);
    XFlush(display_);
    if (session_ != nullptr && session_->Available()) {
        session_->Activate();
    }
}

void X11ScreenSaver::RestoreOnExit() {
    if (restoreTimeout_) {
        Timeouts values;
        XGetScreenSaver(display_, &values.timeout, &values.interval, &values.preferBlanking,
                        &values.allowExposures);
        if (values.timeout == 0) {
            XSetScreenSaver(display_, *restoreTimeout_, values.interval, values.preferBlanking,
                            values.allowExposures);
        }
        Forget();
    }
    // The request must reach the server before the connection closes.
    XSync(display_, False);
    if (session_ != nullptr) {
        session_->ReleaseNow();
    }
}

}  // namespace ww::platform
