#include "platform/win32/Win32IconImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ww::platform {
namespace {

constexpr int kCursorSide = 32;
constexpr std::uint8_t kWhite = 15;

bool Complete(const IconImage& image) {
    return image.size > 0 && image.pixels.size() >= static_cast<std::size_t>(image.size) *
                                                        static_cast<std::size_t>(image.size);
}

// Bytes in one row of a monochrome bitmap: rows are whole 16-bit words.
std::size_t MaskStride(int side) {
    return static_cast<std::size_t>((side + 15) / 16) * 2;
}

void SetBit(std::vector<BYTE>& plane, std::size_t stride, int x, int y) {
    const std::size_t at = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8);
    plane[at] = static_cast<BYTE>(plane[at] | (0x80U >> static_cast<unsigned>(x % 8)));
}

std::uint8_t Pixel(const IconImage& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.size) +
                        static_cast<std::size_t>(x)];
}

COLORREF PaletteColour(std::uint8_t index) {
    const std::uint32_t rgb = kStandardPalette[index & 0x0FU];
    return RGB((rgb >> 16) & 0xFFU, (rgb >> 8) & 0xFFU, rgb & 0xFFU);
}

}  // namespace

HICON MakeIconFromImage(const IconImage& image) {
    if (!Complete(image)) {
        return nullptr;
    }
    const int side = image.size;
    const std::size_t stride = MaskStride(side);
    std::vector<BYTE> mask(stride * static_cast<std::size_t>(side), 0);
    HDC screen = ::GetDC(nullptr);
    HBITMAP colour = ::CreateCompatibleBitmap(screen, side, side);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, colour);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::uint8_t index = Pixel(image, x, y);
            if (index == kTransparent) {
                SetBit(mask, stride, x, y);
            }
            // Masked pixels are black so that the screen shows through them.
            ::SetPixel(dc, x, y, index == kTransparent ? RGB(0, 0, 0) : PaletteColour(index));
        }
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    HBITMAP maskBitmap = ::CreateBitmap(side, side, 1, 1, mask.data());
    ICONINFO info{TRUE, 0, 0, maskBitmap, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(maskBitmap);
    ::DeleteObject(colour);
    return icon;
}

HCURSOR MakeCursorFromImage(HINSTANCE instance, const IconImage& image, int hotX, int hotY) {
    if (image.size != kCursorSide || !Complete(image)) {
        return nullptr;
    }
    const std::size_t stride = MaskStride(kCursorSide);
    std::vector<BYTE> andPlane(stride * kCursorSide, 0);
    std::vector<BYTE> xorPlane(stride * kCursorSide, 0);
    for (int y = 0; y < kCursorSide; ++y) {
        for (int x = 0; x < kCursorSide; ++x) {
            const std::uint8_t index = Pixel(image, x, y);
            if (index == kTransparent) {
                SetBit(andPlane, stride, x, y);
            } else if (index == kWhite) {
                SetBit(xorPlane, stride, x, y);
            }
        }
    }
    return ::CreateCursor(instance, hotX, hotY, kCursorSide, kCursorSide, andPlane.data(),
                          xorPlane.data());
}

}  // namespace ww::platform
