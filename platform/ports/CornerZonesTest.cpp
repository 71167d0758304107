#include "platform/ports/CornerZones.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace ww::platform {
namespace {

struct ScreenCase {
    const char* name;
    std::int32_t width, height;
};

class CornerZoneExtents : public ::testing::TestWithParam<ScreenCase> {};

// A surface of the stated size in each corner covers its zone on the screen,
// no more and no less: every pixel of the bottom rows of the screen is in a
// zone exactly when it is under that zone's surface.
TEST_P(CornerZoneExtents, CoverExactlyTheZonesOnTheScreen) {
    const std::int32_t width = GetParam().width;
    const std::int32_t height = GetParam().height;
    for (std::int32_t y = height - kCornerZoneHeight - 2; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool underRows = y >= height - kCornerZoneHeight;
            EXPECT_EQ(InBottomLeftZone({x, y}, height), underRows && x < kBottomLeftZoneWidth);
            EXPECT_EQ(InBottomRightZone({x, y}, width, height),
                      underRows && x >= width - kBottomRightZoneWidth);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, CornerZoneExtents,
                         ::testing::Values(ScreenCase{"Screen1024x768", 1024, 768},
                                           ScreenCase{"Screen1920x1080", 1920, 1080},
                                           ScreenCase{"Narrow8x600", 8, 600}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CornerZones, ExtremeSizesAndPositionsDoNotOverflow) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    // height - 4 and width - 4 below the smallest 32-bit value.
    EXPECT_TRUE(InBottomLeftZone({kMin, kMin}, kMin));
    EXPECT_TRUE(InBottomRightZone({kMin + 3, kMin}, kMin, kMin));
    EXPECT_FALSE(InBottomRightZone({kMin, kMin}, kMin + 5, kMin));
    // The far end of both axes.
    EXPECT_TRUE(InBottomRightZone({kMax, kMax}, kMax, kMax));
    EXPECT_FALSE(InBottomLeftZone({kMax, kMax}, kMax));
    EXPECT_FALSE(InBottomRightZone({kMax, kMax - 5}, kMax, kMax));
}

}  // namespace
}  // namespace ww::platform
