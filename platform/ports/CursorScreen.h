#pragma once

#include <cstdint>
#include <optional>

namespace ww::platform {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The primary screen's two hot corners (their zones: CornerZones.h).
enum class Corner { None, BottomLeft, BottomRight };

inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;

// Cursor position and primary screen size, in native pixels, (0, 0) at the
// primary screen's top-left corner (user32).
class CursorScreen {
  public:
    virtual ~CursorScreen() = default;

    // GetSystemMetrics: kSmCxScreen / kSmCyScreen give the primary screen's
    // width / height in pixels; 0 for an unknown index or on failure.
    virtual std::int32_t GetSystemMetrics(int index) = 0;

    // GetCursorPos: true and `point` filled on success; on failure `point` is untouched.
    virtual bool GetCursorPos(Point& point) = 0;

    // False where the desktop does not let a program see the pointer reach
    // the screen's corners (a Wayland compositor without a layer shell): hot
    // corners cannot work there at all.
    virtual bool CanWatchCorners() { return true; }

    // Where the desktop says which corner the pointer rests in rather than
    // where the pointer is (a Wayland compositor tells a program of the
    // pointer only over its own surfaces): that corner, Corner::None for
    // neither, and then GetSystemMetrics and GetCursorPos are not asked.
    // nullopt, the default, where the corners are found from the position.
    virtual std::optional<Corner> PointerCorner() { return std::nullopt; }
};

}  // namespace ww::platform
