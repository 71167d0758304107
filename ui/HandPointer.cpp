#include <array>
#include <cstdint>

#include "ui/FrmMainLayout.h"

namespace ww::ui {
namespace {

// X black, o white, . transparent; the index finger's tip is at (13, 5).
constexpr const char* kArt[32] = {
    "................................", "................................",
    "................................", "................................",
    "................................", ".............XX.................",
    "............XooX................", "............XooX................",
    "............XooX................", "............XooX................",
    "............XooXXX..............", "............XooXooXXX...........",
    "............XooXooXooXX.........", "............XooXooXooXoX........",
    ".........XX.XooXooXooXoX........", "........XooXXoooooooooooX.......",
    "........XoooXoooooooooooX.......", ".........XooXoooooooooooX.......",
    "..........XoXoooooooooooX.......", "..........XooooooooooooX........",
    "...........XoooooooooooX........", "...........XooooooooooX.........",
    "............XoooooooooX.........", "............XoooooooooX.........",
    ".............XooooooooX.........", ".............XXXXXXXXXX.........",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
};

constexpr std::array<std::uint8_t, 32 * 32> Pixels() {
    std::array<std::uint8_t, 32 * 32> pixels{};
    for (std::size_t y = 0; y < 32; ++y) {
        for (std::size_t x = 0; x < 32; ++x) {
            const char c = kArt[y][x];
            pixels[y * 32 + x] = c == 'X' ? 0 : c == 'o' ? 15 : platform::kTransparent;
        }
    }
    return pixels;
}

constexpr std::array<std::uint8_t, 32 * 32> kPixels = Pixels();

}  // namespace

const platform::IconImage& HandPointerImage() {
    static const platform::IconImage image{32, kPixels};
    return image;
}

}  // namespace ww::ui
