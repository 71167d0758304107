#include "platform/linux/qt/PaletteIconEngine.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <set>
#include <vector>

#include "platform/linux/qt/TestApplication.h"

namespace ww::platform {
namespace {

// A 16-pixel picture: a transparent border, a grey frame, a silver face and
// a red block at the top left of the face, as the tray pictures are drawn.
std::vector<std::uint8_t> Picture() {
    std::vector<std::uint8_t> pixels(16 * 16, kTransparent);
    for (int y = 1; y < 15; ++y) {
        for (int x = 1; x < 15; ++x) {
            const bool frame = x == 1 || y == 1 || x == 14 || y == 14;
            pixels[static_cast<std::size_t>(y * 16 + x)] = frame ? 8 : 7;  // grey, silver
        }
    }
    for (int y = 3; y < 6; ++y) {
        for (int x = 3; x < 6; ++x) {
            pixels[static_cast<std::size_t>(y * 16 + x)] = 9;  // red
        }
    }
    return pixels;
}

QRgb Opaque(std::uint32_t rgb) {
    return 0xFF000000U | rgb;
}

// The colour a source pixel must have in the output.
QRgb Expected(const std::vector<std::uint8_t>& pixels, int x, int y) {
    const std::uint8_t index = pixels[static_cast<std::size_t>(y * 16 + x)];
    return index == kTransparent ? 0U : Opaque(kStandardPalette[index]);
}

// Every output pixel is the source pixel under its centre's block, exactly:
// no blending, no smoothing, transparency kept.
void ExpectCrisp(const QImage& image, const std::vector<std::uint8_t>& pixels, int factor) {
    ASSERT_EQ(image.width(), 16 * factor);
    ASSERT_EQ(image.height(), 16 * factor);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb want = Expected(pixels, x / factor, y / factor);
            const QRgb got = argb.pixel(x, y);
            if (want == 0U) {
                ASSERT_EQ(qAlpha(got), 0) << x << "," << y;
            } else {
                ASSERT_EQ(got, want) << x << "," << y;
            }
        }
    }
}

TEST(PaletteIconEngineTest, RendersPaletteColoursAndTransparency) {
    const auto pixels = Picture();
    ExpectCrisp(PaletteIconEngine::Render(IconImage{16, pixels}), pixels, 1);
    EXPECT_EQ(PaletteIconEngine::Render(IconImage{16, pixels}).pixel(4, 4), Opaque(0xFF0000));
}

TEST(PaletteIconEngineTest, WholeFactorsReplicatePixels) {
    const auto pixels = Picture();
    const QImage source = PaletteIconEngine::Render(IconImage{16, pixels});
    for (int factor : {1, 2, 3, 4}) {
        ExpectCrisp(PaletteIconEngine::Scale(source, QSize(16 * factor, 16 * factor)), pixels,
                    factor);
    }
}

TEST(PaletteIconEngineTest, OddSizesUseOnlyTheSourceColours) {
    const auto pixels = Picture();
    const QImage source = PaletteIconEngine::Render(IconImage{16, pixels});
    const std::set<QRgb> palette = {0U, Opaque(0x808080), Opaque(0xC0C0C0), Opaque(0xFF0000)};
    for (int size : {22, 24, 20, 13}) {
        const QImage scaled = PaletteIconEngine::Scale(source, QSize(size, size));
        ASSERT_EQ(scaled.size(), QSize(size, size));
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb got = scaled.pixel(x, y);
                ASSERT_TRUE(palette.count(qAlpha(got) == 0 ? 0U : got) == 1)
                    << size << ": " << x << "," << y << " " << std::hex << got;
            }
        }
        // The corners stay transparent, the centre silver.
        EXPECT_EQ(qAlpha(scaled.pixel(0, 0)), 0) << size;
        EXPECT_EQ(scaled.pixel(size / 2, size / 2), Opaque(0xC0C0C0)) << size;
    }
}

TEST(PaletteIconEngineTest, IconGivesExactlyTheAskedSizeAtEveryScale) {
    test::EnsureApplication();
    const auto pixels = Picture();
    const QIcon icon(new PaletteIconEngine(IconImage{16, pixels}));
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 22, 24, 32, 48, 64}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
        EXPECT_EQ(icon.pixmap(QSize(size, size)).size(), QSize(size, size)) << size;
    }
    ExpectCrisp(icon.pixmap(QSize(32, 32)).toImage(), pixels, 2);
    // A high-density screen asks for device pixels: 16 logical at 3x is 48 crisp pixels.
    const QPixmap dense = icon.pixmap(QSize(16, 16), 3.0);
    ExpectCrisp(dense.toImage(), pixels, 3);
}

TEST(PaletteIconEngineTest, PaintFillsTheRectWithoutSmoothing) {
    test::EnsureApplication();
    const auto pixels = Picture();
    const QIcon icon(new PaletteIconEngine(IconImage{16, pixels}));
    QImage target(48, 48, QImage::Format_ARGB32);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        icon.paint(&painter, QRect(0, 0, 48, 48));
    }
    ExpectCrisp(target, pixels, 3);

    QImage dense(64, 64, QImage::Format_ARGB32);
    dense.setDevicePixelRatio(2.0);
    dense.fill(Qt::transparent);
    {
        QPainter painter(&dense);
        icon.paint(&painter, QRect(0, 0, 32, 32));  // 32 logical = 64 device pixels
    }
    ExpectCrisp(dense, pixels, 4);
}

TEST(PaletteIconEngineTest, ARectangleGetsTheLargestSquareCentred) {
    test::EnsureApplication();
    const auto pixels = Picture();
    const QIcon icon(new PaletteIconEngine(IconImage{16, pixels}));
    EXPECT_EQ(icon.pixmap(QSize(44, 48)).size(), QSize(44, 44));
    EXPECT_EQ(icon.actualSize(QSize(64, 32)), QSize(32, 32));

    QImage target(32, 36, QImage::Format_ARGB32);  // a tray slot taller than wide
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        icon.paint(&painter, QRect(0, 0, 32, 36));
    }
    ExpectCrisp(target.copy(0, 2, 32, 32), pixels, 2);
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(qAlpha(target.pixel(x, 0)), 0);
        EXPECT_EQ(qAlpha(target.pixel(x, 35)), 0);
    }
}

}  // namespace
}  // namespace ww::platform
