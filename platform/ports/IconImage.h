#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace ww::platform {

// The standard 16-colour palette of the layout's icons, as 0xRRGGBB.
inline constexpr std::array<std::uint32_t, 16> kStandardPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// Palette index that marks a transparent pixel (the icon's AND mask).
inline constexpr std::uint8_t kTransparent = 0xFF;

// A palette-indexed square icon image: `size` × `size` indices, row by row
// from the top, each 0..15 into kStandardPalette or kTransparent.
struct IconImage {
    int size = 16;
    std::span<const std::uint8_t> pixels;
};

}  // namespace ww::platform
