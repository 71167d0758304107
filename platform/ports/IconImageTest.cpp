#include "platform/ports/IconImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ww::platform {
namespace {

struct ImageCase {
    const char* name;
    int size;
    std::size_t pixelCount;
    std::uint8_t oddPixel;  // put at the last pixel
    bool valid;
};

class IconImageValidity : public ::testing::TestWithParam<ImageCase> {};

TEST_P(IconImageValidity, TakesOnlySquaresOfPaletteIndicesUpTo256) {
    const ImageCase& c = GetParam();
    std::vector<std::uint8_t> pixels(c.pixelCount, 0);
    if (!pixels.empty()) {
        pixels.back() = c.oddPixel;
    }
    EXPECT_EQ(IsValidIconImage(IconImage{c.size, pixels}), c.valid);
}

INSTANTIATE_TEST_SUITE_P(Images, IconImageValidity,
                         ::testing::Values(ImageCase{"Tray16", 16, 256, 0, true},
                                           ImageCase{"LastPaletteColour", 16, 256, 15, true},
                                           ImageCase{"Transparent", 16, 256, kTransparent, true},
                                           ImageCase{"OnePixel", 1, 1, 7, true},
                                           ImageCase{"Largest", 256, 256 * 256, 0, true},
                                           ImageCase{"BeyondThePalette", 16, 256, 16, false},
                                           ImageCase{"JustBelowTransparent", 16, 256, 0xFE, false},
                                           ImageCase{"TooLarge", 257, 257 * 257, 0, false},
                                           ImageCase{"NoSide", 0, 0, 0, false},
                                           ImageCase{"NegativeSide", -4, 16, 0, false},
                                           ImageCase{"PixelsMissing", 16, 255, 0, false},
                                           ImageCase{"PixelsOver", 16, 257, 0, false}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace ww::platform
