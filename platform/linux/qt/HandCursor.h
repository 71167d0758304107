#pragma once

#include <QCursor>
#include <array>
#include <string_view>

#include "platform/ports/IconImage.h"

namespace ww::platform {

// The pointing hand shown over the links: 32 × 32, monochrome, hot spot on
// the tip of the index finger. One string per row: 'X' black, 'o' white,
// '.' transparent.
inline constexpr int kHandCursorSize = 32;
inline constexpr int kHandHotX = 13;
inline constexpr int kHandHotY = 5;
const std::array<std::string_view, kHandCursorSize>& HandCursorArt();

// the layout's pointer when it carries one (a `size` × `size` image of
// palette indices: 0 black, 15 white, kTransparent clear), else the hand above.
QCursor MakeHandCursor(const IconImage& image, int hotX, int hotY);

}  // namespace ww::platform
