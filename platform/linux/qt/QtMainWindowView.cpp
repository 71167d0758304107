#include "platform/linux/qt/QtMainWindowView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include "platform/linux/qt/DialogFont.h"
#include "platform/linux/qt/HandCursor.h"
#include "platform/linux/qt/PaletteIconEngine.h"
#include "platform/linux/qt/TwipGeometry.h"

namespace ww::platform {
namespace {

constexpr std::uint32_t kInitCommonControlsExSize = 8;

QIcon WindowIcon(const MainWindowLayout& windowLayout) {
    QIcon icon;
    if (!windowLayout.icon16.pixels.empty()) {
        icon.addPixmap(QPixmap::fromImage(PaletteIconEngine::Render(windowLayout.icon16)));
    }
    if (!windowLayout.icon32.pixels.empty()) {
        const QImage large = PaletteIconEngine::Render(windowLayout.icon32);
        for (int side : {32, 48, 64}) {
            icon.addPixmap(QPixmap::fromImage(PaletteIconEngine::Scale(large, {side, side})));
        }
    }
    return icon;
}

}  // namespace

QtMainWindowView::QtMainWindowView(WindowTable& table, LinuxWindowMessages& windows, Trace& trace,
                                   const RunState& run)
    : table_(table), windows_(windows), trace_(trace), run_(run) {}

QtMainWindowView::~QtMainWindowView() {
    events_ = nullptr;
    delete window_.data();
    delete dying_.data();
    if (appPointerSet_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

Hwnd QtMainWindowView::Create(const MainWindowLayout& windowLayout, MainWindowEvents& events) {
    Destroy();
    dotsPerInch_ = ScreenDotsPerInch();
    hand_ = MakeHandCursor(windowLayout.linkPointer, windowLayout.linkPointerHotX,
                           windowLayout.linkPointerHotY);
    auto* window = new QtMainWindowWidget;
    window_ = window;
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    window->setWindowTitle(QString::fromStdString(windowLayout.title));
    window->setWindowIcon(WindowIcon(windowLayout));
    window->setFont(ChooseDialogFont(windowLayout.fontName, windowLayout.fontPoints));
    window->setFixedSize(TwipsToPixels(windowLayout.clientWidth, dotsPerInch_),
                         TwipsToPixels(windowLayout.clientHeight, dotsPerInch_));
    controls_ = BuildMainWindowControls(*window, windowLayout, dotsPerInch_);
    events_ = &events;
    Connect();
    handle_ = table_.Create([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
    windows_.RegisterWidget(handle_, window);
    return handle_;
}

// The widget goes later, not now: the logic may destroy the window from one
// of its own events (a button's click).
void QtMainWindowView::Destroy() {
    if (window_.isNull()) {
        return;
    }
    events_ = nullptr;
    QtMainWindowWidget* window = window_.data();
    window_ = nullptr;
    for (const auto& [object, control] : watched_) {
        object->removeEventFilter(this);
    }
    for (const auto& [id, control] : controls_) {
        QObject::disconnect(control.widget, nullptr, this, nullptr);
    }
    watched_.clear();
    controls_.clear();
    window->hide();
    delete dying_.data();
    dying_ = window;
    window->deleteLater();
    table_.Destroy(handle_);
    handle_ = 0;
    trace_.Write("window destroyed");
}

bool QtMainWindowView::Exists() {
    return !window_.isNull();
}

void QtMainWindowView::Show() {
    if (window_.isNull()) {
        return;
    }
    // A shown window becomes the program's active window, as the system's
    // show does; that it became so is reported at once, whether or not the
    // window manager hands it the focus.
    const bool wasHidden = !window_->isVisible();
    window_->show();
    window_->raise();
    window_->activateWindow();
    if (wasHidden) {
        if (MainWindowEvents* events = Listener()) {
            trace_.Write("window activated");
            events->Form_Activate();
        }
    }
}

void QtMainWindowView::Hide() {
    if (!window_.isNull()) {
        window_->hide();
    }
}

// Neither state shows a hidden window. Qt reports the change at once; the
// logic runs its own resize rule after a change it made, so that report is
// kept from it.
void QtMainWindowView::SetWindowState(WindowState state) {
    if (window_.isNull()) {
        return;
    }
    const Qt::WindowStates now = window_->windowState();
    settingState_ = true;
    window_->setWindowState(state == WindowState::Minimized
                                ? (now & ~Qt::WindowActive) | Qt::WindowMinimized
                                : now & ~Qt::WindowMinimized);
    settingState_ = false;
}

WindowState QtMainWindowView::GetWindowState() {
    return !window_.isNull() && window_->windowState().testFlag(Qt::WindowMinimized)
               ? WindowState::Minimized
               : WindowState::Normal;
}

void QtMainWindowView::SetText(MainControl control, std::string_view text) {
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (control == MainControl::Window) {
        if (!window_.isNull()) {
            window_->setWindowTitle(value);
        }
        return;
    }
    BuiltControl* found = Find(control);
    if (found == nullptr) {
        return;
    }
    QWidget* widget = found->widget;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
        if (found->layout.autoSize) {
            PlaceControl(*found, dotsPerInch_);
        }
    } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        field->setText(value);
        field->setCursorPosition(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(value);
    }
}

std::string QtMainWindowView::GetText(MainControl control) {
    QString value;
    if (control == MainControl::Window) {
        value = window_.isNull() ? QString() : window_->windowTitle();
    } else if (BuiltControl* found = Find(control)) {
        QWidget* widget = found->widget;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            value = label->text();
        } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            value = field->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            value = button->text();
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            value = frame->title();
        }
    }
    return value.toStdString();
}

void QtMainWindowView::SetCheck(MainControl control, int state) {
    // Only the user's clicks are reported; a state set here says nothing.
    if (BuiltControl* found = Find(control)) {
        if (auto* box = qobject_cast<QCheckBox*>(found->widget)) {
            box->setCheckState(state == 0   ? Qt::Unchecked
                               : state == 2 ? Qt::PartiallyChecked
                                            : Qt::Checked);
        }
    }
}

int QtMainWindowView::GetCheck(MainControl control) {
    BuiltControl* found = Find(control);
    auto* box = found != nullptr ? qobject_cast<QCheckBox*>(found->widget) : nullptr;
    if (box == nullptr) {
        return 0;
    }
    switch (box->checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Checked:
            break;
    }
    return 1;
}

int QtMainWindowView::GetLeft(MainControl control) {
    BuiltControl* found = Find(control);
    return found != nullptr ? found->layout.left : 0;
}

int QtMainWindowView::GetWidth(MainControl control) {
    BuiltControl* found = Find(control);
    if (found == nullptr) {
        return 0;
    }
    return found->layout.autoSize ? PixelsToTwips(found->widget->width(), dotsPerInch_)
                                  : found->layout.width;
}

void QtMainWindowView::SetLeft(MainControl control, int twips) {
    if (BuiltControl* found = Find(control)) {
        found->layout.left = twips;
        PlaceControl(*found, dotsPerInch_);
    }
}

void QtMainWindowView::SetBackColorButtonFace(MainControl control) {
    BuiltControl* found = Find(control);
    if (found == nullptr) {
        return;
    }
    QWidget* widget = found->widget;
    QPalette palette = widget->palette();
    const QColor face = palette.color(QPalette::Button);
    palette.setColor(QPalette::Base, face);
    palette.setColor(QPalette::Window, face);
    widget->setPalette(palette);
    if (qobject_cast<QLineEdit*>(widget) == nullptr) {
        widget->setAutoFillBackground(true);
    }
}

void QtMainWindowView::SetEnabled(MainControl control, bool enabled) {
    if (BuiltControl* found = Find(control)) {
        found->widget->setEnabled(enabled);
    }
}

void QtMainWindowView::SetMousePointer(MousePointer pointer) {
    if (window_.isNull()) {
        return;
    }
    switch (pointer) {
        case MousePointer::Default:
            window_->unsetCursor();
            break;
        case MousePointer::Hand:
            window_->setCursor(hand_);
            break;
        case MousePointer::Hourglass:
            window_->setCursor(Qt::WaitCursor);
            break;
    }
}

void QtMainWindowView::SetApplicationMousePointer(MousePointer pointer) {
    if (pointer == MousePointer::Default) {
        if (appPointerSet_) {
            QGuiApplication::restoreOverrideCursor();
            appPointerSet_ = false;
        }
        return;
    }
    const QCursor cursor = pointer == MousePointer::Hand ? hand_ : QCursor(Qt::WaitCursor);
    if (appPointerSet_) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        appPointerSet_ = true;
    }
}

// Qt's controls need no preparing; only the structure's size is checked,
// as the system does.
bool QtMainWindowView::InitCommonControlsEx(std::uint32_t size, std::uint32_t) {
    return size == kInitCommonControlsExSize;
}

QWidget* QtMainWindowView::Widget(MainControl control) const {
    if (control == MainControl::Window) {
        return window_.data();
    }
    const auto found = controls_.find(control);
    return found != controls_.end() ? found->second.widget : nullptr;
}

BuiltControl* QtMainWindowView::Find(MainControl control) {
    const auto found = controls_.find(control);
    return found != controls_.end() ? &found->second : nullptr;
}

MainWindowEvents* QtMainWindowView::Listener() const {
    return run_.Ended() ? nullptr : events_;
}

}  // namespace ww::platform
