#pragma once

#include <functional>

#include "platform/linux/x11/X11Session.h"

namespace ww::platform {

// Follows the XEmbed tray host: the owner of _NET_SYSTEM_TRAY_S<screen>.
// It goes away with the owner window's DestroyNotify; a new one announces
// itself with a MANAGER client message on the root window.
class XEmbedTrayWatcher {
  public:
    explicit XEmbedTrayWatcher(X11Session& x11);

    // Looks up the present owner and starts following it.
    void Start();
    bool Present() const { return owner_ != 0; }

    std::function<void()> onLost;
    std::function<void()> onAppeared;

  private:
    void OnEvent(const _XEvent& event);
    // The selection owner now, with its DestroyNotify selected; 0 for none.
    unsigned long CurrentOwner();

    X11Session& x11_;
    unsigned long selection_ = 0;
    unsigned long manager_ = 0;
    unsigned long owner_ = 0;
};

}  // namespace ww::platform
