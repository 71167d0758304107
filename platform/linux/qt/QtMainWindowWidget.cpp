#include "platform/linux/qt/QtMainWindowWidget.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace ww::platform {

QtMainWindowWidget::QtMainWindowWidget() {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);  // moves over the window's own background
}

void QtMainWindowWidget::SetDefaultButton(QAbstractButton* button) {
    defaultButton_ = button;
}

void QtMainWindowWidget::SetCancelButton(QAbstractButton* button) {
    cancelButton_ = button;
}

void QtMainWindowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return;  // restored by the window manager, not shown by the program
    }
    if (onShown) {
        onShown(true);
    }
}

void QtMainWindowWidget::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (onShown) {
        onShown(false);
    }
}

void QtMainWindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) {
        onResize();
    }
}

void QtMainWindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && onResize) {
        onResize();
    }
}

void QtMainWindowWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onClose) {
        onClose();
    }
}

void QtMainWindowWidget::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
                Press(focused);
            } else {
                Press(defaultButton_);
            }
            return;
        case Qt::Key_Escape:
            Press(cancelButton_);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void QtMainWindowWidget::Press(QAbstractButton* button) {
    if (button != nullptr && button->isEnabled() && button->isVisible()) {
        button->click();
    }
}

}  // namespace ww::platform
