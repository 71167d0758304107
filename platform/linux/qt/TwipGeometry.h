#pragma once

#include <QRect>

namespace ww::platform {

// Layout positions are in twips (1/1440 inch); widgets are placed in the
// screen's logical pixels. Edges are converted, not sizes, so neighbouring
// controls that touch in twips still touch in pixels.
int TwipsToPixels(int twips, double dotsPerInch);
int PixelsToTwips(int pixels, double dotsPerInch);
QRect TwipsToPixelRect(int left, int top, int width, int height, double dotsPerInch);

// The logical resolution of the primary screen (96 without one).
double ScreenDotsPerInch();

}  // namespace ww::platform
