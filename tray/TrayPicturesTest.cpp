#include "tray/TrayPictures.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace ww::tray {
namespace {

constexpr std::uint8_t kMaroon = 1, kSilver = 7, kGrey = 8, kRed = 9, kLime = 10;

std::uint8_t At(TrayPicture p, int x, int y) {
    return PictureImage(p).pixels[static_cast<std::size_t>(y * 16 + x)];
}

std::set<std::uint8_t> Colours(TrayPicture p) {
    const auto& image = PictureImage(p);
    return {image.pixels.begin(), image.pixels.end()};
}

TEST(TrayPictures, SeventeenDistinctSixteenPixelPicturesInThePalette) {
    std::set<std::vector<std::uint8_t>> seen;
    for (std::size_t i = 0; i < kTrayPictureCount; ++i) {
        const auto& image = PictureImage(static_cast<TrayPicture>(i));
        ASSERT_EQ(image.size, 16);
        ASSERT_EQ(image.pixels.size(), 256u);
        for (std::uint8_t c : image.pixels) {
            EXPECT_TRUE(c < 16 || c == platform::kTransparent);
        }
        seen.insert({image.pixels.begin(), image.pixels.end()});
    }
    EXPECT_EQ(seen.size(), kTrayPictureCount);
    EXPECT_STREQ(PictureName(TrayPicture::imgSleeperDisabled_rxtx), "imgSleeperDisabled_rxtx");
}

TEST(TrayPictures, FamiliesDifferByLetteringAndActivityMarks) {
    struct Case {
        TrayPicture picture;
        bool red, lime, maroon;
    };
    for (Case c : {Case{TrayPicture::imgIcon_none, true, false, false},
                   Case{TrayPicture::imgSleepNow, false, true, false},
                   Case{TrayPicture::imgSleepNever_none, false, false, true},
                   Case{TrayPicture::imgSleeperDisabled_none, true, false, true},
                   Case{TrayPicture::imgDisable_none, true, false, true}}) {
        SCOPED_TRACE(PictureName(c.picture));
        const auto colours = Colours(c.picture);
        EXPECT_TRUE(colours.contains(kGrey));
        EXPECT_TRUE(colours.contains(kSilver));
        EXPECT_EQ(colours.contains(kRed), c.red);
        EXPECT_EQ(colours.contains(kLime), c.lime);
        EXPECT_EQ(colours.contains(kMaroon), c.maroon);
    }
    // rx marks the upper right edge, tx the lower right edge.
    EXPECT_EQ(At(TrayPicture::imgIcon_rx, 15, 3), kLime);
    EXPECT_NE(At(TrayPicture::imgIcon_rx, 15, 12), kLime);
    EXPECT_EQ(At(TrayPicture::imgIcon_tx, 15, 12), kLime);
    EXPECT_NE(At(TrayPicture::imgIcon_tx, 15, 3), kLime);
    EXPECT_EQ(At(TrayPicture::imgIcon_rxtx, 15, 3), kLime);
    EXPECT_EQ(At(TrayPicture::imgIcon_rxtx, 15, 12), kLime);
    EXPECT_NE(At(TrayPicture::imgIcon_none, 15, 3), kLime);
}

TEST(TrayPictures, ProgramIconDoublesTheNormalPicture) {
    const auto& big = ProgramIconImage(32);
    ASSERT_EQ(big.size, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(big.pixels[static_cast<std::size_t>(y * 32 + x)],
                      At(TrayPicture::imgIcon_none, x / 2, y / 2));
        }
    }
    EXPECT_EQ(ProgramIconImage(16).size, 16);
}

}  // namespace
}  // namespace ww::tray
