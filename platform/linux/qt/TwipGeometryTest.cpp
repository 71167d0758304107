#include "platform/linux/qt/TwipGeometry.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(TwipGeometryTest, ConvertsAtTheScreensResolution) {
    struct Case {
        int twips;
        double dpi;
        int pixels;
    };
    for (const Case& c :
         {Case{5310, 96, 354}, Case{4690, 96, 313}, Case{348, 96, 23}, Case{1440, 120, 120},
          Case{15, 144, 2}, Case{7, 96, 0}, Case{8, 96, 1}, Case{300, 0, 20}}) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
    EXPECT_EQ(PixelsToTwips(38, 96), 570);
    EXPECT_EQ(PixelsToTwips(40, 120), 480);
}

// Edges are rounded, so two controls that touch in twips touch in pixels.
TEST(TwipGeometryTest, RectanglesKeepTheirEdges) {
    EXPECT_EQ(TwipsToPixelRect(1980, 4690, 1035, 348, 96), QRect(132, 313, 69, 23));
    const QRect left = TwipsToPixelRect(100, 0, 1000, 10, 96);
    const QRect right = TwipsToPixelRect(1100, 0, 1000, 10, 96);
    EXPECT_EQ(left.right() + 1, right.left());
}

}  // namespace
}  // namespace ww::platform
