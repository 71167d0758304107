#pragma once

#include <cstdint>

#include "platform/ports/CursorScreen.h"

namespace ww::platform {

// The hot-corner zones of the primary screen, width × height pixels. Both are
// its bottom four rows; the bottom-left one takes columns 0 to 4 and the
// bottom-right one the last four, so the two are not mirror images. Neither
// has an outer bound: a position on a monitor left of or below the primary
// one counts as inside when it passes the same two tests.
inline constexpr std::int32_t kCornerMargin = 4;

// Signed and wide, so that no screen size or position can overflow.
constexpr bool InBottomLeftZone(Point point, std::int32_t height) {
    return std::int64_t{point.y} >= std::int64_t{height} - kCornerMargin &&
           std::int64_t{point.x} <= kCornerMargin;
}

constexpr bool InBottomRightZone(Point point, std::int32_t width, std::int32_t height) {
    return std::int64_t{point.y} >= std::int64_t{height} - kCornerMargin &&
           std::int64_t{point.x} >= std::int64_t{width} - kCornerMargin;
}

// How far each zone reaches into the primary screen itself, from its corner:
// the size of a surface that covers exactly that zone there.
inline constexpr std::int32_t kBottomLeftZoneWidth = kCornerMargin + 1;  // columns 0..4
inline constexpr std::int32_t kBottomRightZoneWidth = kCornerMargin;     // columns w-4..w-1
inline constexpr std::int32_t kCornerZoneHeight = kCornerMargin;         // rows h-4..h-1

}  // namespace ww::platform
