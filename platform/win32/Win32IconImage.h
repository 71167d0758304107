#pragma once

#include <windows.h>

#include "platform/ports/IconImage.h"

namespace ww::platform {

// A palette image as an icon (its transparent pixels masked out); null when
// the image has fewer pixels than its size says. DestroyIcon frees it.
HICON MakeIconFromImage(const IconImage& image);

// A monochrome image (palette black and white, the rest transparent) as a
// cursor with its hot spot; null when the image is not 32 × 32. DestroyCursor
// frees it.
HCURSOR MakeCursorFromImage(HINSTANCE instance, const IconImage& image, int hotX, int hotY);

}  // namespace ww::platform
