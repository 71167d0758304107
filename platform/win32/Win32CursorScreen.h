#pragma once

#include "platform/ports/CursorScreen.h"

namespace ww::platform {

// The cursor and the primary screen's size, from user32.
class Win32CursorScreen final : public CursorScreen {
  public:
    // Only the screen width and height; 0 for every other index.
    std::int32_t GetSystemMetrics(int index) override;
    bool GetCursorPos(Point& point) override;
};

}  // namespace ww::platform
