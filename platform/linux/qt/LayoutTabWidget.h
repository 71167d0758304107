#pragma once

#include <QTabWidget>
#include <vector>

namespace ww::platform {

// A tab control whose pages are laid out in the control's own coordinates:
// each page holds a canvas kept at the control's top-left corner, so a child
// placed at (x, y) on the canvas sits at (x, y) from the control's corner,
// whatever height the style gives the tab row. The tabs share the row's
// whole width, as on a tabbed dialog.
class LayoutTabWidget final : public QTabWidget {
  public:
    explicit LayoutTabWidget(QWidget* parent);

    // Adds a page; returns its canvas.
    QWidget* AddPage(const QString& label);
    const std::vector<QWidget*>& Canvases() const { return canvases_; }

  protected:
    bool event(QEvent* event) override;

  private:
    void AlignCanvases();

    std::vector<QWidget*> canvases_;
};

}  // namespace ww::platform
