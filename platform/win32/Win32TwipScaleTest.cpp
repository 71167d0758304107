#include "platform/win32/Win32TwipScale.h"

#include <gtest/gtest.h>

#include <vector>

namespace ww::platform {
namespace {

TEST(Win32TwipScaleTest, ConvertsAtTheScreensResolutionRoundingToNearest) {
    struct Case {
        int dpi;
        int twips;
        int pixels;
    };
    const std::vector<Case> cases = {
        {96, 5310, 354},  {96, 4690, 313}, {96, 0, 0},
        {120, 1440, 120}, {144, 15, 2},    {0, 1440, 96},  // no resolution: 96 dpi
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dpi) + " dpi, " + std::to_string(c.twips) + " twips");
        EXPECT_EQ(Win32TwipScale(c.dpi).ToPixels(c.twips), c.pixels);
    }
    EXPECT_EQ(Win32TwipScale(96).ToTwips(81), 1215);
    EXPECT_EQ(Win32TwipScale(120).ToTwips(100), 1200);
}

TEST(Win32TwipScaleTest, RectanglesConvertTheirEdgesSoNeighboursStillTouch) {
    const Win32TwipScale scale(96);
    const RECT ok = scale.ToPixelRect(1980, 4690, 1035, 348);
    EXPECT_EQ(ok.left, 132);
    EXPECT_EQ(ok.top, 313);
    EXPECT_EQ(ok.right, 201);
    EXPECT_EQ(ok.bottom, 336);
    // Two controls 7 twips wide side by side: rounding each size would leave a gap.
    const RECT first = scale.ToPixelRect(0, 0, 7, 7);
    const RECT second = scale.ToPixelRect(7, 0, 7, 7);
    EXPECT_EQ(first.right, second.left);
}

}  // namespace
}  // namespace ww::platform
