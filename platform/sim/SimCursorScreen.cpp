#include "platform/sim/SimCursorScreen.h"

#include <string>

namespace ww::platform {

std::int32_t SimCursorScreen::GetSystemMetrics(int index) {
    log_.Add("GetSystemMetrics(" + std::to_string(index) + ")");
    if (index == kSmCxScreen) {
        return width_;
    }
    return index == kSmCyScreen ? height_ : 0;
}

bool SimCursorScreen::GetCursorPos(Point& point) {
    log_.Add("GetCursorPos");
    if (cursorFails_) {
        return false;
    }
    point = cursor_;
    return true;
}

}  // namespace ww::platform
