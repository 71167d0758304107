#include "platform/linux/qt/TwipGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace ww::platform {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;

double Usable(double dotsPerInch) {
    return dotsPerInch > 0.0 ? dotsPerInch : kFallbackDpi;
}

}  // namespace

int TwipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * Usable(dotsPerInch) / kTwipsPerInch));
}

int PixelsToTwips(int pixels, double dotsPerInch) {
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / Usable(dotsPerInch)));
}

QRect TwipsToPixelRect(int left, int top, int width, int height, double dotsPerInch) {
    const int x = TwipsToPixels(left, dotsPerInch);
    const int y = TwipsToPixels(top, dotsPerInch);
    return {x, y, TwipsToPixels(left + width, dotsPerInch) - x,
            TwipsToPixels(top + height, dotsPerInch) - y};
}

double ScreenDotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? Usable(screen->logicalDotsPerInchX()) : kFallbackDpi;
}

}  // namespace ww::platform
