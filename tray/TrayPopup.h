#pragma once

#include <vector>

#include "platform/ports/TrayMenu.h"

namespace ww::tray {

// The tray form's popup menu, its items in order. The ids are the items'
// positions, separators included.
namespace menu {
inline constexpr int menuRestore = 1;
inline constexpr int blankline = 2;
inline constexpr int menuHotCorners = 3;
inline constexpr int anotherblankline = 4;
inline constexpr int menuStartSSaver = 5;
inline constexpr int menuDisableSSaver = 6;
inline constexpr int menuConfigSSaver = 7;
inline constexpr int menuLine = 8;
inline constexpr int menuExit = 9;
}  // namespace menu

// The items of menuRightPopup; menuRestore is the default item.
std::vector<platform::MenuItem> TrayMenuItems();

// Scale modes of the picture box that receives the icon's mouse messages.
inline constexpr int kScaleModeTwips = 1;
inline constexpr int kScaleModePixels = 3;

// The mouse message code carried in the picture box's X: X itself in pixel
// scale, otherwise X in twips divided by the screen's twips per pixel. The
// caller compares the result for exact equality.
double TrayMouseCode(float x, int scaleMode, int twipsPerPixelX);

}  // namespace ww::tray
