#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace ww::platform {

// The window's font in its four cuts (regular, bold, underlined, both),
// made on first use at the screen's resolution and deleted with this object.
// Deleting it is only safe once no window uses the fonts any more.
class Win32DialogFonts {
  public:
    Win32DialogFonts(std::string name, double points, int dotsPerInch);
    ~Win32DialogFonts();
    Win32DialogFonts(const Win32DialogFonts&) = delete;
    Win32DialogFonts& operator=(const Win32DialogFonts&) = delete;

    HFONT Get(bool bold, bool underline);

  private:
    std::string name_;
    int height_;  // negative: the character height in pixels, as CreateFont takes it
    std::array<HFONT, 4> fonts_{};
};

}  // namespace ww::platform
