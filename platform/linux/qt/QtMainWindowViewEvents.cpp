// QtMainWindowView: what the window's widgets report to the logic.
#include <QAbstractButton>
#include <QMouseEvent>
#include <QTabBar>

#include "platform/linux/qt/LayoutTabWidget.h"
#include "platform/linux/qt/QtMainWindowView.h"

namespace ww::platform {
namespace {

// The run-time's button and shift-state numbers.
int ButtonNumber(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

void QtMainWindowView::Connect() {
    QtMainWindowWidget& window = *window_;
    window.onResize = [this] {
        MainWindowEvents* events = Listener();
        if (events != nullptr && !settingState_) {
            events->Form_Resize();
        }
    };
    window.onClose = [this] {
        if (MainWindowEvents* events = Listener()) {
            events->Form_Close();
        }
    };
    window.onShown = [this](bool shown) { trace_.Write(shown ? "window shown" : "window hidden"); };
    Watch(&window, MainControl::Window);

    for (const auto& [id, control] : controls_) {
        switch (control.layout.kind) {
            case ControlKind::Button:
            case ControlKind::CheckBox:
                // clicked comes after a check box changed its state, and
                // only for the user's own clicks and keys.
                QObject::connect(
                    static_cast<QAbstractButton*>(control.widget), &QAbstractButton::clicked, this,
                    [this, control = id] {
                        if (MainWindowEvents* events = Listener()) {
                            trace_.Write(std::string("click ") + MainControlName(control));
                            events->Click(control);
                        }
                    });
                break;
            case ControlKind::LinkLabel:
            case ControlKind::Picture:
                Watch(control.widget, id);
                break;
            case ControlKind::TabControl: {
                auto* tabs = static_cast<LayoutTabWidget*>(control.widget);
                // The tab row passes its moves on to the tab control.
                Watch(tabs, id);
                for (QWidget* canvas : tabs->Canvases()) {
                    Watch(canvas->parentWidget(), id);
                    Watch(canvas, id);
                }
                break;
            }
            default:
                break;
        }
    }
}

void QtMainWindowView::Watch(QObject* object, MainControl control) {
    watched_[object] = control;
    object->installEventFilter(this);
}

// Moves reach only widgets that track the mouse, and a widget that does not
// keeps them from its parents: the window hears moves over its own
// background, the tab control over its tabs and empty page space, a link
// over itself.
bool QtMainWindowView::eventFilter(QObject* watched, QEvent* event) {
    const auto source = watched_.find(watched);
    if (source == watched_.end()) {
        return false;
    }
    const MainControl control = source->second;
    MainWindowEvents* events = Listener();
    if (events == nullptr) {
        return false;
    }
    const BuiltControl* built = Find(control);
    const ControlKind kind = built != nullptr ? built->layout.kind : ControlKind::Panel;
    switch (event->type()) {
        case QEvent::MouseMove:
            if (kind != ControlKind::Picture) {
                // Taken here: none of these widgets has a use for it, and
                // passed on it would reach the parents as their own move.
                events->MouseMove(control);
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
            if (kind == ControlKind::Picture) {
                const auto* press = static_cast<QMouseEvent*>(event);
                events->MouseDown(control, ButtonNumber(press->button()),
                                  ShiftState(press->modifiers()));
            }
            break;
        case QEvent::MouseButtonRelease: {
            const auto* release = static_cast<QMouseEvent*>(event);
            if (kind == ControlKind::LinkLabel && release->button() == Qt::LeftButton &&
                built->widget->rect().contains(release->position().toPoint())) {
                trace_.Write(std::string("click ") + MainControlName(control));
                events->Click(control);
            }
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace ww::platform
