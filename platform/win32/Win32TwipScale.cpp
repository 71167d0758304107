#include "platform/win32/Win32TwipScale.h"

#include <cmath>

namespace ww::platform {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kFallbackDpi = 96;

}  // namespace

Win32TwipScale::Win32TwipScale(int dotsPerInch)
    : dotsPerInch_(dotsPerInch > 0 ? dotsPerInch : kFallbackDpi) {}

Win32TwipScale Win32TwipScale::Screen() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSX) : kFallbackDpi;
    if (screen != nullptr) {
        ::ReleaseDC(nullptr, screen);
    }
    return Win32TwipScale(dpi);
}

int Win32TwipScale::ToPixels(int twips) const {
    return static_cast<int>(std::lround(twips * dotsPerInch_ / kTwipsPerInch));
}

int Win32TwipScale::ToTwips(int pixels) const {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dotsPerInch_));
}

RECT Win32TwipScale::ToPixelRect(int left, int top, int width, int height) const {
    return RECT{ToPixels(left), ToPixels(top), ToPixels(left + width), ToPixels(top + height)};
}

}  // namespace ww::platform
