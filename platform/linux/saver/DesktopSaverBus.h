#pragma once

#include <memory>
#include <string>

#include "platform/linux/saver/SaverChoice.h"

namespace ww::platform {

// The desktops' own saver services beside org.freedesktop.ScreenSaver (which
// SessionScreenSaver keeps): the screen savers of GNOME Shell, MATE and
// Cinnamon, their session manager's idle inhibitor, and the logind session's
// Lock. Their names are followed on the session bus as they come and go.
// Every call waits for its reply (briefly), so a failure, NotSupported
// included, can be said. Needs a QCoreApplication.
class DesktopSaverBus {
  public:
    DesktopSaverBus();
    ~DesktopSaverBus();
    DesktopSaverBus(const DesktopSaverBus&) = delete;
    DesktopSaverBus& operator=(const DesktopSaverBus&) = delete;

    // Fills in what these services offer now: gnome, mate, cinnamon,
    // sessionManager, logindSession.
    void Offer(SaverOffer& offer) const;

    // SetActive(true) on the service of `way` (Gnome/Mate/CinnamonSetActive),
    // or the logind session's Lock (LogindLock). Empty on success, else what failed.
    std::string Start(StartWay way);

    // The session manager's Inhibit(…, flags 8 = idle), kept until Release;
    // taken again when the session manager comes back. Empty on success, else
    // what failed.
    std::string Hold();
    // Uninhibit(cookie) for the hold taken; forgets a hold still wanted.
    void Release();
    bool Held() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
