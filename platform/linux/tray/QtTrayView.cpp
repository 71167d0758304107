#include "platform/linux/tray/QtTrayView.h"

#include <QCoreApplication>
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
    }
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
    if (event->type() == QEvent::ToolTip && watched->isWidgetType() &&
        watched->inherits("QSystemTrayIconSys")) {
        tipWidget_ = static_cast<QWidget*>(watched);
        tipPosition_ = static_cast<QHelpEvent*>(event)->globalPos();
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
