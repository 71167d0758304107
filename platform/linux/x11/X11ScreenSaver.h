#pragma once

#include <cstdint>
#include <optional>

#include "platform/linux/saver/DesktopScreenSaver.h"
#include "platform/linux/x11/SaverRescue.h"
#include "platform/linux/x11/X11SaverRecord.h"
#include "platform/ports/SystemParameters.h"

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

class SessionScreenSaver;

// The screen saver of an X session. The X server's own saver is always used:
// its timeout stands for the active flag (0 = off) and XForceScreenSaver
// starts it. Where the session bus offers org.freedesktop.ScreenSaver, starting
// and holding off go through that service too.
class X11ScreenSaver : public DesktopScreenSaver {
  public:
    // `display` is the program's X connection; `session` the bus service, or
    // null to use the X server alone. Both must outlive this object. Puts
    // back a saver that an earlier run left switched off (see X11SaverRecord).
    X11ScreenSaver(_XDisplay* display, SessionScreenSaver* session);
    // RestoreOnExit.
    ~X11ScreenSaver() override;
    X11ScreenSaver(const X11ScreenSaver&) = delete;
    X11ScreenSaver& operator=(const X11ScreenSaver&) = delete;

    // kGetScreenSaveActive: *pvParam = 1 while a saver may start (the X
    // timeout is not 0 and this program holds no session service off), else 0.
    // kSetScreenSaveActive: uiParam 0 sets the X timeout to 0 (interval and blanking kept) and
    // holds the session service off; 1 puts back the timeout read before this program's hold
    // (when the server still has its 0) and releases the hold; without a hold it changes nothing.
    // While the saver is off by this program, the root window says so and every way out puts the
    // timeout back (SaverRescue). fWinIni is ignored: X keeps no per-user setting, so both forms
    // change the running server only. False for other actions.
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;

    // XForceScreenSaver, and SetActive(true) on the session service.
    void StartScreenSaver() override;

    // Puts back the X timeout if this program switched the saver off,
    // releases the session hold, and waits until the server has it.
    void RestoreOnExit() override;

  private:
    struct Timeouts {
        int timeout = 0;
        int interval = 0;
        int preferBlanking = 0;
        int allowExposures = 0;
    };

    Timeouts Read();
    void Write(const Timeouts& values, int timeout);
    void SwitchOff();
    void SwitchOn();

    void Forget();

    _XDisplay* display_;
    SessionScreenSaver* session_;
    X11SaverRecord record_;
    SaverRescue rescue_;
    // The timeout this program replaced by 0, until it switches the saver on.
    std::optional<int> restoreTimeout_;
};

}  // namespace ww::platform
