#pragma once

#include <QIconEngine>
#include <QImage>

#include "platform/ports/IconImage.h"

namespace ww::platform {

// A palette-indexed tray picture as a Qt icon, drawn at exactly the size
// asked for by pixel replication, so the 16-pixel art stays crisp at 22, 24,
// 32 and 48 pixels and at 2x and 3x scale. It is square: asked for a
// rectangle, it fills the largest square inside.
class PaletteIconEngine final : public QIconEngine {
  public:
    explicit PaletteIconEngine(const IconImage& image);

    // The picture at its own size: palette colours, transparent where the
    // index is kTransparent (or out of range).
    static QImage Render(const IconImage& image);
    // Nearest-neighbour scaling: target pixel (x, y) is source pixel
    // (x * w / W, y * h / H).
    static QImage Scale(const QImage& source, QSize size);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;

  private:
    explicit PaletteIconEngine(QImage source);

    QImage source_;
};

}  // namespace ww::platform
