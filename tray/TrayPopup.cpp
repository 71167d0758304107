#include "tray/TrayPopup.h"

namespace ww::tray {

std::vector<platform::MenuItem> TrayMenuItems() {
    return {
        {menu::menuRestore, "&Restore Wakewatch..."},
        {menu::blankline, "-"},
        {menu::menuHotCorners, "Enable &Hot Corners", true},
        {menu::anotherblankline, "-"},
        {menu::menuStartSSaver, "&Start Screen Saver..."},
        {menu::menuDisableSSaver, "&Disable Screen Saver", true},
        {menu::menuConfigSSaver, "&Configure Screen Saver..."},
        {menu::menuLine, "-"},
        {menu::menuExit, "E&xit Wakewatch"},
    };
}

double TrayMouseCode(float x, int scaleMode, int twipsPerPixelX) {
    if (scaleMode == kScaleModePixels) {
        return x;
    }
    return static_cast<double>(x) / twipsPerPixelX;
}

}  // namespace ww::tray
