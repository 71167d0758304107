#include "platform/win32/Win32CursorScreen.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {

static_assert(kSmCxScreen == SM_CXSCREEN && kSmCyScreen == SM_CYSCREEN);

std::int32_t Win32CursorScreen::GetSystemMetrics(int index) {
    if (index != kSmCxScreen && index != kSmCyScreen) {
        return 0;
    }
    return ::GetSystemMetrics(index);
}

bool Win32CursorScreen::GetCursorPos(Point& point) {
    POINT position{};
    if (!::GetCursorPos(&position)) {
        return false;
    }
    point = Point{position.x, position.y};
    return true;
}

}  // namespace ww::platform
