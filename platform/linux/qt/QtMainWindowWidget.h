#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractButton;

namespace ww::platform {

// The main window's top-level widget. It turns the window system's doings
// into plain callbacks and never closes itself: the title bar's close is
// only reported.
class QtMainWindowWidget final : public QWidget {
  public:
    QtMainWindowWidget();

    std::function<void()> onResize;  // size or window state changed
    std::function<void()> onClose;   // the title bar's close button
    std::function<void(bool shown)> onShown;

    // What Enter and Escape press. Enter presses a focused button instead.
    void SetDefaultButton(QAbstractButton* button);
    void SetCancelButton(QAbstractButton* button);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static void Press(QAbstractButton* button);

    QPointer<QAbstractButton> defaultButton_;
    QPointer<QAbstractButton> cancelButton_;
};

}  // namespace ww::platform
