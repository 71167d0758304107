#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <QTimer>

#include "platform/linux/saver/DesktopSaverBus.h"
#include "platform/linux/saver/DesktopScreenSaver.h"
#include "platform/linux/saver/SaverChoice.h"

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

class IdleInhibitSurface;
class SessionScreenSaver;
class X11ScreenSaver;
class XScreenSaverDaemon;

// The saver the session actually runs, chosen again at every call from what
// the session offers now (ChooseSaver), so a saver service that comes, goes
// or is replaced is followed. Says on stderr which saver is in use whenever
// that changes, and what failed when a call fails. A hold moves along when
// the way to hold changes while it is taken.
class ChosenScreenSaver : public DesktopScreenSaver {
  public:
    // `display` is the program's X connection, or null in a Wayland session
    // (whose compositor is then reached on a connection of this object's own);
    // `freedesktop` the org.freedesktop.ScreenSaver client. Both outlive this object.
    ChosenScreenSaver(_XDisplay* display, SessionScreenSaver& freedesktop);
    ~ChosenScreenSaver() override;
    ChosenScreenSaver(const ChosenScreenSaver&) = delete;
    ChosenScreenSaver& operator=(const ChosenScreenSaver&) = delete;

    // kGetScreenSaveActive: on the bare X server its timeout (0 = none); on
    // a desktop with its own saver 1 while it can be started and this
    // program does not hold it off. kSetScreenSaveActive: 0 takes the hold
    // (false where nothing can hold), 1 releases this program's hold and
    // changes nothing else.
    bool SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, std::int32_t* pvParam,
                               std::uint32_t fWinIni) override;
    bool CanSwitchScreenSaverOff() override;

    void StartScreenSaver() override;
    void RestoreOnExit() override;

    // How the saver the session runs now is started (None: nothing starts it).
    StartWay StartWayNow() { return Current().start; }

  private:
    SaverOffer Offer();
    SaverChoice Current();
    bool Take(HoldWay way);
    void Let(HoldWay way);

    _XDisplay* display_;
    SessionScreenSaver& freedesktop_;
    DesktopSaverBus desktops_;
    std::unique_ptr<X11ScreenSaver> xServer_;
    std::unique_ptr<XScreenSaverDaemon> xscreensaver_;
    std::unique_ptr<IdleInhibitSurface> idleInhibit_;  // in a Wayland session
    // xscreensaver's shortest timeout is 5 s: its idle timer is reset well
    // within that while held.
    QTimer deactivate_;
    std::optional<SaverChoice> said_;
    std::optional<HoldWay> held_;  // the way this program holds the saver off
};

}  // namespace ww::platform
