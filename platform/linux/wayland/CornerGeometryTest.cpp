#include "platform/linux/wayland/CornerGeometry.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

// The zones the tick looks at, as it tests them.
bool InBottomLeft(Point p, std::int32_t height) {
    return p.y >= height - 4 && p.x <= 4;
}
bool InBottomRight(Point p, std::int32_t width, std::int32_t height) {
    return p.y >= height - 4 && p.x >= width - 4;
}

TEST(CornerGeometryTest, EachCornerAnswersAPointInItsOwnZoneOnly) {
    const struct {
        std::int32_t width, height;  // as reported
        std::int32_t usedWidth, usedHeight;
    } screens[] = {
        {1024, 768, 1024, 768}, {1920, 1080, 1920, 1080}, {10, 10, 10, 10},
        {0, 0, 1024, 768},      {-5, 600, 1024, 768},  // an unknown size stands for the nominal
                                                       // screen
    };
    for (const auto& s : screens) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
        const Point left = CornerPoint(Corner::BottomLeft, s.width, s.height);
        const Point right = CornerPoint(Corner::BottomRight, s.width, s.height);
        const Point none = CornerPoint(Corner::None, s.width, s.height);
        EXPECT_TRUE(InBottomLeft(left, s.usedHeight));
        EXPECT_FALSE(InBottomRight(left, s.usedWidth, s.usedHeight));
        EXPECT_TRUE(InBottomRight(right, s.usedWidth, s.usedHeight));
        EXPECT_FALSE(InBottomLeft(right, s.usedHeight));
        EXPECT_FALSE(InBottomLeft(none, s.usedHeight));
        EXPECT_FALSE(InBottomRight(none, s.usedWidth, s.usedHeight));
        // On the screen itself.
        EXPECT_EQ(right.x, s.usedWidth - 1);
        EXPECT_EQ(right.y, s.usedHeight - 1);
    }
}

TEST(CornerGeometryTest, TheSurfacesAreNoLargerThanTheZones) {
    const std::int32_t height = 768;
    const std::int32_t width = 1024;
    // Every pixel of each surface, placed in its corner, lies in its zone.
    for (std::int32_t y = height - kCornerHeight; y < height; ++y) {
        for (std::int32_t x = 0; x < kBottomLeftWidth; ++x) {
            EXPECT_TRUE(InBottomLeft({x, y}, height)) << x << "," << y;
        }
        for (std::int32_t x = width - kBottomRightWidth; x < width; ++x) {
            EXPECT_TRUE(InBottomRight({x, y}, width, height)) << x << "," << y;
        }
    }
}

TEST(CornerGeometryTest, TheOriginOutputIsTheOneThatHoldsZeroZero) {
    const struct {
        const char* name;
        std::vector<OutputRect> outputs;
        std::optional<std::size_t> origin;
    } cases[] = {
        {"none known", {}, std::nullopt},
        {"one", {{0, 0, 1024, 768}}, 0},
        {"right of another", {{1920, 0, 1280, 1024}, {0, 0, 1920, 1080}}, 1},
        {"a monitor left of the origin", {{-1280, 0, 1280, 1024}, {0, 0, 1920, 1080}}, 1},
        {"spanning it", {{-100, -100, 800, 600}}, 0},
        {"ends just before it", {{-1024, 0, 1024, 768}}, std::nullopt},
        {"size not told yet", {{0, 0, 0, 0}, {0, 0, 800, 600}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OriginOutput(c.outputs), c.origin);
    }
}

}  // namespace
}  // namespace ww::platform
