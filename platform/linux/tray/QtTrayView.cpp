#include "platform/linux/tray/QtTrayView.h"

#include <xcb/xproto.h>

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>

namespace ww::platform {

QtTrayView::QtTrayView(Trace& trace) : trace_(trace), sni_(trace) {
    // StatusNotifierItem hosts report no double click, only an activation
    // (a single or a double click, as the host decides): it stands for the
    // double click that opens the main window.
    sni_.onActivate = [this] { ReportClick(TrayClick::DoubleClick); };
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    // Qt's own wake-up delay before a tooltip.
    enteredRest_.setSingleShot(true);
    enteredRest_.setInterval(700);
    connect(&enteredRest_, &QTimer::timeout, this, [this] {
        if (entered_.isNull()) {
            return;
        }
        const QPoint at = QCursor::pos();
        QHelpEvent ask(QEvent::ToolTip, entered_->mapFromGlobal(at), at);
        QCoreApplication::sendEvent(entered_.data(), &ask);
        if (trace_.Enabled()) {
            trace_.Write("tooltip-on-entry");
        }
    });
}

QtTrayView::~QtTrayView() = default;

void QtTrayView::SetKind(TrayKind kind) {
    if (kind == kind_) {
        return;
    }
    const bool shown = shown_;
    Hide();
    kind_ = kind;
    if (shown) {
        Show();
    }
}

void QtTrayView::SetToolTip(const QString& tip) {
    tip_ = tip;
    sni_.SetToolTip(tip);
    if (xembed_) {
        const QString previous = xembed_->toolTip();
        xembed_->setToolTip(tip);
        RefreshVisibleTip(previous, tip);
    }
}

void QtTrayView::SetIcon(const QIcon& icon) {
    icon_ = icon;
    sni_.SetIcon(icon);
    if (xembed_) {
        xembed_->setIcon(icon);
    }
}

void QtTrayView::Show() {
    shown_ = true;
    if (kind_ == TrayKind::Sni) {
        sni_.Show();
    } else if (kind_ == TrayKind::XEmbed) {
        XEmbedIcon().show();
    }
}

void QtTrayView::Hide() {
    shown_ = false;
    sni_.Hide();
    if (xembed_) {
        xembed_->hide();
    }
}

QSystemTrayIcon& QtTrayView::XEmbedIcon() {
    if (!xembed_) {
        xembed_ = std::make_unique<QSystemTrayIcon>();
        xembed_->setIcon(icon_);
        xembed_->setToolTip(tip_);
        connect(xembed_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    switch (reason) {
                        case QSystemTrayIcon::DoubleClick:
                            ReportClick(TrayClick::DoubleClick);
                            break;
                        case QSystemTrayIcon::Context:
                            ReportClick(TrayClick::Context);
                            break;
                        case QSystemTrayIcon::Trigger:
                            ReportClick(TrayClick::Trigger);
                            break;
                        case QSystemTrayIcon::MiddleClick:
                            ReportClick(TrayClick::Middle);
                            break;
                        case QSystemTrayIcon::Unknown:
                            break;
                    }
                });
    }
    return *xembed_;
}

void QtTrayView::SetClickHandler(ClickHandler handler) {
    onClick_ = std::move(handler);
}

void QtTrayView::SetMenu(DBusExport* menu, std::function<void(QPoint at)> onContextMenu) {
    sni_.SetMenu(menu);
    sni_.onContextMenu = std::move(onContextMenu);
}

void QtTrayView::ReportClick(TrayClick click) {
    if (onClick_) {
        onClick_(click);
    }
}

bool QtTrayView::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !watched->inherits("QSystemTrayIconSys")) {
        return false;
    }
    if (event->type() == QEvent::ToolTip) {
        tipWidget_ = static_cast<QWidget*>(watched);
        tipPosition_ = static_cast<QHelpEvent*>(event)->globalPos();
    } else if (event->type() == QEvent::MouseButtonPress) {
        // A click opens the menu, not the tooltip.
        enteredRest_.stop();
    }
    return false;
}

// Cinnamon's tray forwards only crossings and clicks to a docked icon, each
// sent with XSendEvent to the icon's window, never pointer motion. Qt takes
// the clicks; it drops core crossings while it reads the pointer through
// XInput 2, and asks for a tooltip only after motion anyway. So a forwarded
// entry asks for the tooltip itself after the usual rest, and a forwarded
// leave takes it away. Real crossings are not sent events: Qt's own handling
// stays as it is on other trays.
bool QtTrayView::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!xembed_ || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* generic = static_cast<const xcb_generic_event_t*>(message);
    const bool sent = (generic->response_type & 0x80) != 0;
    const int type = generic->response_type & 0x7f;
    if (!sent || (type != XCB_ENTER_NOTIFY && type != XCB_LEAVE_NOTIFY)) {
        return false;
    }
    const auto* crossing = static_cast<const xcb_enter_notify_event_t*>(message);
    QWidget* icon = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QSystemTrayIconSys") && widget->internalWinId() == crossing->event) {
            icon = widget;
        }
    }
    if (icon == nullptr) {
        return false;
    }
    if (type == XCB_ENTER_NOTIFY) {
        entered_ = icon;
        enteredRest_.start();
    } else {
        enteredRest_.stop();
        entered_.clear();
        if (tipWidget_ == icon && QToolTip::isVisible()) {
            QToolTip::hideText();
        }
    }
    return false;
}

// A tooltip open over an XEmbed icon keeps the text it opened with; showing
// it again at the same spot changes the text in place, so it keeps ticking.
void QtTrayView::RefreshVisibleTip(const QString& previous, const QString& tip) {
    if (tipWidget_.isNull() || !QToolTip::isVisible() || QToolTip::text() != previous) {
        return;
    }
    QToolTip::showText(tipPosition_, tip, tipWidget_.data());
    if (trace_.Enabled()) {
        trace_.Write("tooltip-refresh " + Trace::Quote(tip.toStdString()));
    }
}

}  // namespace ww::platform
