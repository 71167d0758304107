#pragma once

#include <windows.h>

namespace ww::platform {

// Layout positions are in twips (1/1440 inch); windows are placed in the
// screen's pixels. Edges are converted, not sizes, so neighbouring controls
// that touch in twips still touch in pixels.
class Win32TwipScale {
  public:
    explicit Win32TwipScale(int dotsPerInch = 96);

    // The scale of the screen's horizontal resolution (LOGPIXELSX).
    static Win32TwipScale Screen();

    int DotsPerInch() const { return dotsPerInch_; }
    int ToPixels(int twips) const;
    int ToTwips(int pixels) const;
    RECT ToPixelRect(int left, int top, int width, int height) const;

  private:
    int dotsPerInch_;
};

}  // namespace ww::platform
