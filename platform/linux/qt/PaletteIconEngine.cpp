#include "platform/linux/qt/PaletteIconEngine.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <utility>

namespace ww::platform {

PaletteIconEngine::PaletteIconEngine(const IconImage& image) : source_(Render(image)) {}

PaletteIconEngine::PaletteIconEngine(QImage source) : source_(std::move(source)) {}

QImage PaletteIconEngine::Render(const IconImage& image) {
    const int size = image.size > 0 ? image.size : 0;
    QImage rendered(size, size, QImage::Format_ARGB32);
    rendered.fill(Qt::transparent);
    const auto count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    for (std::size_t i = 0; i < count && i < image.pixels.size(); ++i) {
        const std::uint8_t index = image.pixels[i];
        if (index >= kStandardPalette.size()) {
            continue;  // kTransparent
        }
        const auto x = static_cast<int>(i % static_cast<std::size_t>(size));
        const auto y = static_cast<int>(i / static_cast<std::size_t>(size));
        rendered.setPixel(x, y, 0xFF000000U | kStandardPalette[index]);
    }
    return rendered;
}

QImage PaletteIconEngine::Scale(const QImage& source, QSize size) {
    QImage scaled(size, QImage::Format_ARGB32);
    scaled.fill(Qt::transparent);
    if (source.isNull() || size.isEmpty()) {
        return scaled;
    }
    const QImage from = source.convertToFormat(QImage::Format_ARGB32);
    const int w = from.width();
    const int h = from.height();
    for (int y = 0; y < size.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y * h / size.height()));
        auto* out = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            out[x] = in[x * w / size.width()];
        }
    }
    return scaled;
}

void PaletteIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State state) {
    if (painter == nullptr || rect.isEmpty()) {
        return;
    }
    // The picture is square: centred in a rect that is not.
    const QSize square = actualSize(rect.size(), mode, state);
    const QRect target(rect.x() + (rect.width() - square.width()) / 2,
                       rect.y() + (rect.height() - square.height()) / 2, square.width(),
                       square.height());
    // Render at the device's pixel size so nothing smooths it afterwards.
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap picture = pixmap((QSizeF(target.size()) * ratio).toSize(), mode, state);
    picture.setDevicePixelRatio(ratio);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawPixmap(target, picture);
    painter->restore();
}

QPixmap PaletteIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return QPixmap::fromImage(Scale(source_, actualSize(size, mode, state)));
}

QSize PaletteIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    const int side = std::max(0, std::min(size.width(), size.height()));
    return QSize(side, side);
}

QList<QSize> PaletteIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    return {QSize(16, 16), QSize(22, 22), QSize(24, 24),
            QSize(32, 32), QSize(48, 48), QSize(64, 64)};
}

QIconEngine* PaletteIconEngine::clone() const {
    return new PaletteIconEngine(source_);
}

QString PaletteIconEngine::key() const {
    return QStringLiteral("wakewatch-palette");
}

}  // namespace ww::platform
