#pragma once

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

// A running xscreensaver, reached the way its own xscreensaver-command does:
// its window is the child of the root that carries _SCREENSAVER_VERSION, and
// a command is a ClientMessage of type SCREENSAVER sent to that window, the
// command's atom in its first word. Nothing is cached: xscreensaver may be
// restarted (or stopped) at any time, and a stale window would swallow the
// command.
class XScreenSaverDaemon {
  public:
    explicit XScreenSaverDaemon(_XDisplay* display);

    // The window of the running xscreensaver, or 0 when none runs.
    unsigned long Window();
    bool Running() { return Window() != 0; }

    // ACTIVATE: blank the screen now, as if its timeout had passed. False
    // when no xscreensaver runs or the command could not be sent.
    bool Activate();
    // DEACTIVATE: as user activity would, unblanks the screen or resets its
    // idle timer. False as above.
    bool Deactivate();

  private:
    bool Command(const char* name);

    _XDisplay* display_;
};

}  // namespace ww::platform
