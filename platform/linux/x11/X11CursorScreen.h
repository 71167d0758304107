#pragma once

#include <cstdint>

#include "platform/ports/CursorScreen.h"

struct _XDisplay;  // Display of Xlib, kept out of this header

namespace ww::platform {

// Cursor and primary screen in X's native pixels (not a toolkit's logical,
// scaled ones), with (0, 0) at the primary monitor's top-left corner. The
// screen geometry is cached; the owner of the event loop reports the events
// after which it may have changed.
class X11CursorScreen : public CursorScreen {
  public:
    // `display` is the program's X connection and must outlive this object.
    explicit X11CursorScreen(_XDisplay* display);

    // The primary RandR monitor's width / height, or the root window's when
    // no monitor is marked primary; 0 when the server cannot tell. Answered
    // from the cache.
    std::int32_t GetSystemMetrics(int index) override;

    // XQueryPointer on the root window: one round trip. False when the
    // pointer is on another X screen.
    bool GetCursorPos(Point& point) override;

    // Asks for the events OnXEvent looks for: adds StructureNotify to this
    // client's mask on the root and sets its RandR mask there. Only on a
    // connection no toolkit shares, whose RandR mask this may replace.
    void SelectScreenEvents();

    // The primary monitor may have changed: the next query reads it again.
    void ScreenChanged() { stale_ = true; }

    // Feeds one event seen on the connection (response type without the
    // sent-event bit, and the window the event is about). RandR screen, CRTC
    // and output changes and ConfigureNotify of the root window mark the
    // geometry stale; everything else is ignored.
    void OnXEvent(std::uint8_t type, std::uint32_t window);

    // The first RandR event number; -1 when the server has no RandR.
    int RandrEventBase() const { return randrEventBase_; }

  private:
    void Refresh();

    _XDisplay* display_;
    unsigned long root_;
    int randrEventBase_ = -1;
    bool stale_ = true;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
};

}  // namespace ww::platform
