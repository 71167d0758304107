#include "platform/win32/Win32IconImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace ww::platform {
namespace {

constexpr std::uint8_t kRed = 9;
constexpr std::uint8_t kBlue = 12;
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWhite = 15;

// Reads bitmap pixels through a memory DC.
class BitmapReader {
  public:
    explicit BitmapReader(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)) {
        old_ = ::SelectObject(dc_, bitmap);
    }
    ~BitmapReader() {
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
    }
    BitmapReader(const BitmapReader&) = delete;
    BitmapReader& operator=(const BitmapReader&) = delete;

    COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

TEST(Win32IconImageTest, IconShowsPaletteColoursAndMasksTransparentPixels) {
    std::vector<std::uint8_t> pixels(16 * 16, kBlue);
    pixels[0] = kTransparent;
    pixels[1] = kRed;
    pixels[16 * 15 + 15] = kTransparent;
    HICON icon = MakeIconFromImage(IconImage{16, pixels});
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    {
        const BitmapReader colour(info.hbmColor);
        const BitmapReader mask(info.hbmMask);
        struct Case {
            int x, y;
            COLORREF colour;
            bool masked;
        };
        const std::vector<Case> cases = {{0, 0, RGB(0, 0, 0), true},
                                         {1, 0, RGB(255, 0, 0), false},
                                         {2, 0, RGB(0, 0, 255), false},
                                         {15, 15, RGB(0, 0, 0), true},
                                         {14, 15, RGB(0, 0, 255), false}};
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
            EXPECT_EQ(colour.At(c.x, c.y), c.colour);
            EXPECT_EQ(mask.At(c.x, c.y) != RGB(0, 0, 0), c.masked);
        }
    }
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);

    EXPECT_EQ(MakeIconFromImage(IconImage{16, std::vector<std::uint8_t>(10, kBlue)}), nullptr);
}

TEST(Win32IconImageTest, CursorKeepsItsHotSpotAndMonochromePlanes) {
    std::vector<std::uint8_t> pixels(32 * 32, kTransparent);
    pixels[32 * 5 + 13] = kBlack;
    pixels[32 * 5 + 14] = kWhite;
    HCURSOR cursor = MakeCursorFromImage(::GetModuleHandleA(nullptr), IconImage{32, pixels}, 13, 5);
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 13U);
    EXPECT_EQ(info.yHotspot, 5U);
    ASSERT_EQ(info.hbmColor, nullptr);  // monochrome: AND plane above, XOR plane below
    {
        const BitmapReader planes(info.hbmMask);
        struct Case {
            int x;
            bool andBit, xorBit;
        };
        const std::vector<Case> cases = {{12, true, false}, {13, false, false}, {14, false, true}};
        for (const Case& c : cases) {
            SCOPED_TRACE(c.x);
            EXPECT_EQ(planes.At(c.x, 5) != RGB(0, 0, 0), c.andBit);
            EXPECT_EQ(planes.At(c.x, 32 + 5) != RGB(0, 0, 0), c.xorBit);
        }
    }
    ::DeleteObject(info.hbmMask);
    ::DestroyCursor(cursor);

    EXPECT_EQ(MakeCursorFromImage(nullptr, IconImage{16, pixels}, 0, 0), nullptr);
}

}  // namespace
}  // namespace ww::platform
