#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSocketNotifier;
struct _XDisplay;
union _XEvent;

namespace ww::platform {

// The program's own Xlib connection, beside Qt's: tray-host tracking, the
// screen saver, the cursor and the screen size. Its socket sits on a
// QSocketNotifier; events are handled on the UI thread, never inside one of
// the round trips below (those only schedule a drain for the next loop turn).
class X11Session {
  public:
    using EventHandler = std::function<void(const _XEvent& event)>;

    X11Session();  // opens $DISPLAY
    // Without a connection (a Wayland session): Connected() is false and
    // nothing is ever asked of an X server.
    struct Unconnected {};
    explicit X11Session(Unconnected);
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    // Before Qt starts: nullopt when $DISPLAY can be opened, otherwise the
    // one line to print, e.g. `wakewatch: cannot open display ":99"`.
    static std::optional<std::string> CheckDisplay();

    bool Connected() const { return display_ != nullptr; }
    _XDisplay* Connection() const { return display_; }
    unsigned long Root() const { return root_; }
    int ScreenNumber() const { return screen_; }

    // Called for every event that arrives on this connection.
    void AddEventHandler(EventHandler handler);

    // After a round trip: events Xlib read meanwhile are handled on the next
    // turn of the event loop.
    void ScheduleDrain();

    // Starts the screen saver now (XForceScreenSaver, flushed).
    void ForceScreenSaverActive();

    // The root window's size, kept current from its ConfigureNotify events.
    int ScreenWidth() const { return width_; }
    int ScreenHeight() const { return height_; }

    // The pointer on the root window (one round trip); false when unknown.
    bool QueryPointer(int& x, int& y);

  private:
    void Drain();
    void Dispatch(const _XEvent& event);

    _XDisplay* display_ = nullptr;
    unsigned long root_ = 0;
    int screen_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<EventHandler> handlers_;
    bool drainQueued_ = false;
};

}  // namespace ww::platform
