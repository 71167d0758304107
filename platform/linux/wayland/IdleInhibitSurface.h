#pragma once

#include <memory>

namespace ww::platform {

// Holds a Wayland compositor's idle action off (swayidle and the other idle
// daemons wait for the compositor to call the seat idle): an idle inhibitor
// of zwp_idle_inhibit_manager_v1 on a surface of ours. The protocol honours
// an inhibitor only while its surface is mapped, so the surface is a 1 × 1
// fully transparent overlay layer surface that takes no clicks and no keys,
// up only while held.
//
// Talks to the compositor over a connection of its own, read on the UI
// thread through a QSocketNotifier: the hold outlives the hot corners'
// surfaces, and a protocol error of theirs does not drop it. Follows the
// globals: when the compositor withdraws the inhibit manager or the layer
// shell, Available() turns false (and the surface goes); when they come back
// a hold still taken is put up again.
class IdleInhibitSurface {
  public:
    // Connects to $WAYLAND_DISPLAY. Needs a running QCoreApplication.
    IdleInhibitSurface();
    ~IdleInhibitSurface();
    IdleInhibitSurface(const IdleInhibitSurface&) = delete;
    IdleInhibitSurface& operator=(const IdleInhibitSurface&) = delete;

    // The compositor offers zwp_idle_inhibit_manager_v1 and a layer shell,
    // and the connection is alive.
    bool Available() const;

    // Puts the surface and its inhibitor up (sent at once, not waited for);
    // false when not Available. Taking it twice is one hold.
    bool Hold();
    // Takes them down; nothing when not held.
    void Release();
    // A hold is taken (whether or not the compositor lets it stand now).
    bool Held() const;
    // The inhibitor exists on a surface of ours now.
    bool Inhibiting() const;

    struct Impl;  // named by the protocol listeners in the source file

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
