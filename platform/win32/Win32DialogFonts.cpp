#include "platform/win32/Win32DialogFonts.h"

#include <cmath>
#include <utility>

namespace ww::platform {
namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

Win32DialogFonts::Win32DialogFonts(std::string name, double points, int dotsPerInch)
    : name_(std::move(name)),
      height_(-static_cast<int>(std::lround(points * dotsPerInch / kPointsPerInch))) {}

Win32DialogFonts::~Win32DialogFonts() {
    for (HFONT font : fonts_) {
        if (font != nullptr) {
            ::DeleteObject(font);
        }
    }
}

HFONT Win32DialogFonts::Get(bool bold, bool underline) {
    HFONT& font = fonts_[(bold ? 1U : 0U) | (underline ? 2U : 0U)];
    if (font == nullptr) {
        font = ::CreateFontA(height_, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                             underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             name_.c_str());
    }
    return font != nullptr ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace ww::platform
