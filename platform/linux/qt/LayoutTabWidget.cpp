#include "platform/linux/qt/LayoutTabWidget.h"

#include <QEvent>
#include <QTabBar>

namespace ww::platform {
namespace {

class SpreadTabBar final : public QTabBar {
  public:
    explicit SpreadTabBar(QWidget* parent) : QTabBar(parent) { setExpanding(true); }

  protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        const QWidget* tabs = parentWidget();
        if (tabs == nullptr || count() == 0) {
            return size;
        }
        // The last tab takes what the division leaves over.
        const int each = tabs->width() / count();
        size.setWidth(index == count() - 1 ? tabs->width() - each * (count() - 1) : each);
        return size;
    }
};

}  // namespace

LayoutTabWidget::LayoutTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new SpreadTabBar(this));
    setMouseTracking(true);
    tabBar()->setMouseTracking(true);
}

QWidget* LayoutTabWidget::AddPage(const QString& label) {
    auto* page = new QWidget;
    page->setMouseTracking(true);
    auto* canvas = new QWidget(page);
    canvas->setMouseTracking(true);
    addTab(page, label);
    canvases_.push_back(canvas);
    AlignCanvases();
    return canvas;
}

bool LayoutTabWidget::event(QEvent* event) {
    const bool handled = QTabWidget::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize:
        case QEvent::LayoutRequest:
        case QEvent::StyleChange:
        case QEvent::FontChange:
            AlignCanvases();
            break;
        default:
            break;
    }
    return handled;
}

void LayoutTabWidget::AlignCanvases() {
    for (QWidget* canvas : canvases_) {
        QWidget* page = canvas->parentWidget();
        canvas->setGeometry(QRect(-page->mapTo(this, QPoint(0, 0)), size()));
    }
}

}  // namespace ww::platform
