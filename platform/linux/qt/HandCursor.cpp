#include "platform/linux/qt/HandCursor.h"

#include <QBitmap>
#include <QImage>

namespace ww::platform {

const std::array<std::string_view, kHandCursorSize>& HandCursorArt() {
    static constexpr std::array<std::string_view, kHandCursorSize> kArt = {
        "................................",  //  0
        "................................",  //  1
        "................................",  //  2
        "................................",  //  3
        "................................",  //  4
        ".............XX.................",  //  5 the finger tip: the hot spot
        "............XooX................",  //  6
        "............XooX................",  //  7
        "............XooX................",  //  8
        "............XooX................",  //  9
        "............XooXXX..............",  // 10
        "............XooXooXXX...........",  // 11
        "............XooXooXooXX.........",  // 12
        "............XooXooXooXoX........",  // 13
        ".........XX.XooXooXooXooX.......",  // 14
        ".........XoXXoooooooooooX.......",  // 15
        ".........XooXoooooooooooX.......",  // 16
        "..........XoXoooooooooooX.......",  // 17
        "..........XooooooooooooX........",  // 18
        "...........XoooooooooooX........",  // 19
        "...........XoooooooooooX........",  // 20
        "............XoooooooooX.........",  // 21
        "............XoooooooooX.........",  // 22
        ".............XooooooooX.........",  // 23
        ".............XooooooooX.........",  // 24
        ".............XXXXXXXXXX.........",  // 25
        "................................",  // 26
        "................................",  // 27
        "................................",  // 28
        "................................",  // 29
        "................................",  // 30
        "................................",  // 31
    };
    return kArt;
}

namespace {

// Bitmap 1 with mask 1 is black, bitmap 0 with mask 1 white, mask 0 clear.
enum class Dot { Clear, Black, White };

template <typename DotAt>
QCursor MonochromeCursor(int size, DotAt dotAt, int hotX, int hotY) {
    QImage shape(size, size, QImage::Format_Mono);
    QImage mask(size, size, QImage::Format_Mono);
    for (QImage* image : {&shape, &mask}) {
        image->setColorCount(2);
        image->setColor(0, qRgb(255, 255, 255));
        image->setColor(1, qRgb(0, 0, 0));
        image->fill(0U);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Dot dot = dotAt(x, y);
            shape.setPixel(x, y, dot == Dot::Black ? 1U : 0U);
            mask.setPixel(x, y, dot == Dot::Clear ? 0U : 1U);
        }
    }
    return QCursor(QBitmap::fromImage(shape), QBitmap::fromImage(mask), hotX, hotY);
}

}  // namespace

QCursor MakeHandCursor(const IconImage& image, int hotX, int hotY) {
    const auto side = static_cast<std::size_t>(image.size);
    if (image.size > 0 && image.pixels.size() == side * side) {
        return MonochromeCursor(
            image.size,
            [&](int x, int y) {
                const std::uint8_t index =
                    image.pixels[static_cast<std::size_t>(y) * side + static_cast<std::size_t>(x)];
                if (index == kTransparent) {
                    return Dot::Clear;
                }
                return kStandardPalette[index % kStandardPalette.size()] == 0 ? Dot::Black
                                                                              : Dot::White;
            },
            hotX, hotY);
    }
    const auto& art = HandCursorArt();
    return MonochromeCursor(
        kHandCursorSize,
        [&](int x, int y) {
            const char c = art[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            return c == 'X' ? Dot::Black : c == 'o' ? Dot::White : Dot::Clear;
        },
        kHandHotX, kHandHotY);
}

}  // namespace ww::platform
