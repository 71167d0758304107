#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ports/CursorScreen.h"

namespace ww::platform {

// Where a compositor that never tells clients where the pointer is still
// says which of our corner surfaces it rests on; these turn that into the
// answers of the cursor port. Plain arithmetic, no Wayland.
enum class Corner { None, BottomLeft, BottomRight };

struct OutputRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The screen the answers are about when no output size is known.
inline constexpr std::int32_t kNominalWidth = 1024;
inline constexpr std::int32_t kNominalHeight = 768;

// The corner surfaces' sizes: the zones the tick looks at, (0..4) × (h-4..h-1)
// at the bottom left and (w-4..w-1) × (h-4..h-1) at the bottom right.
inline constexpr std::int32_t kBottomLeftWidth = 5;
inline constexpr std::int32_t kBottomRightWidth = 4;
inline constexpr std::int32_t kCornerHeight = 4;

// The index of the output that holds the point (0, 0); nullopt when none does.
std::optional<std::size_t> OriginOutput(const std::vector<OutputRect>& outputs);

// A position on a width × height screen that lies in `corner`'s zone, or in
// neither zone for Corner::None. A size of 0 counts as the nominal screen.
Point CornerPoint(Corner corner, std::int32_t width, std::int32_t height);

}  // namespace ww::platform
