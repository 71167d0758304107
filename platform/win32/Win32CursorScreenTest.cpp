#include "platform/win32/Win32CursorScreen.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

TEST(Win32CursorScreenTest, ScreenHasASizeAndTheCursorIsOnIt) {
    Win32CursorScreen screen;
    const std::int32_t width = screen.GetSystemMetrics(kSmCxScreen);
    const std::int32_t height = screen.GetSystemMetrics(kSmCyScreen);
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    EXPECT_EQ(screen.GetSystemMetrics(SM_CXICON), 0);  // not a screen size
    Point point{-12345, -12345};
    if (screen.GetCursorPos(point)) {
        EXPECT_NE(point.x, -12345);
    } else {
        EXPECT_EQ(point.x, -12345);
    }
}

}  // namespace
}  // namespace ww::platform
