#include "tray/TrayPopup.h"

#include <gtest/gtest.h>

#include <limits>

namespace ww::tray {
namespace {

TEST(TrayPopup, MouseCodeComesBackExactlyFromTwipsOrPixels) {
    const struct {
        float x;
        int scaleMode;
        int twipsPerPixel;
        double code;
    } cases[] = {
        {515.0F * 15, kScaleModeTwips, 15, 515},  // 96 dpi
        {516.0F * 15, kScaleModeTwips, 15, 516},
        {515.0F * 12, kScaleModeTwips, 12, 515},  // 120 dpi
        {516.0F * 8, kScaleModeTwips, 8, 516},    // 180 dpi
        {515, kScaleModePixels, 15, 515},         // pixels: X is the code
        {7740, kScaleModePixels, 15, 7740},
        {7726, kScaleModeTwips, 15, 7726.0 / 15},  // not a whole code: matches nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayMouseCode(c.x, c.scaleMode, c.twipsPerPixel), c.code) << c.x;
    }
    // The largest code a mouse message carries survives the round trip in single precision.
    EXPECT_EQ(TrayMouseCode(65535.0F * 15, kScaleModeTwips, 15), 65535.0);
}

TEST(TrayPopup, ItemIdsAreTheirPositions) {
    const auto items = TrayMenuItems();
    ASSERT_EQ(items.size(), 9U);
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(items[menu::menuRestore - 1].caption, "&Restore Wakewatch...");
    EXPECT_EQ(items[menu::menuExit - 1].caption, "E&xit Wakewatch");
    for (const auto& item : items) {
        EXPECT_EQ(item.check, item.id == menu::menuHotCorners || item.id == menu::menuDisableSSaver)
            << item.caption;
    }
}

}  // namespace
}  // namespace ww::tray
