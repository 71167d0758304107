#pragma once

#include <array>
#include <cstddef>
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

// Whether an icon can be made from `image`: a side of 1 to 256 pixels (the
// largest icon the shells take), exactly side × side pixels, and each one a
// palette index or kTransparent. Every backend refuses the others alike.
constexpr bool IsValidIconImage(const IconImage& image) {
    if (image.size <= 0 || image.size > 256) {
        return false;
    }
    const auto side = static_cast<std::size_t>(image.size);
    if (image.pixels.size() != side * side) {
        return false;
    }
    for (const std::uint8_t index : image.pixels) {
        if (index >= kStandardPalette.size() && index != kTransparent) {
            return false;
        }
    }
    return true;
}

}  // namespace ww::platform
