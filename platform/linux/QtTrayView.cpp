#include "platform/linux/QtTrayView.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace ww::platform {

QtTrayView::QtTrayView(TrayKind kind, Trace& trace) : trace_(trace), kind_(kind) {
    connect(&tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (!onClick_) {
                    return;
                }
                switch (reason) {
                    case QSystemTrayIcon::DoubleClick:
                        onClick_(TrayClick::DoubleClick);
                        break;
                    case QSystemTrayIcon::Context:
                        onClick_(TrayClick::Context);
                        break;
                    case QSystemTrayIcon::Trigger:
                        onClick_(TrayClick::Trigger);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        onClick_(TrayClick::Middle);
                        break;
                    case QSystemTrayIcon::Unknown:
                        break;
                }
            });
    // Only an XEmbed icon shows its tooltip through QToolTip; a
    // StatusNotifierItem host draws and updates its own.
    if (kind_ == TrayKind::XEmbed && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

QtTrayView::~QtTrayView() = default;

void QtTrayView::SetToolTip(const QString& tip) {
    const QString previous = tray_.toolTip();
    tray_.setToolTip(tip);
    RefreshVisibleTip(previous, tip);
}

void QtTrayView::SetIcon(const QIcon& icon) {
    tray_.setIcon(icon);
}

void QtTrayView::Show() {
    tray_.show();
}

void QtTrayView::Hide() {
    tray_.hide();
}

void QtTrayView::SetClickHandler(ClickHandler handler) {
    onClick_ = std::move(handler);
}

void QtTrayView::SetContextMenu(QMenu* menu) {
    tray_.setContextMenu(menu);
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
    if (kind_ != TrayKind::XEmbed || tipWidget_.isNull() || !QToolTip::isVisible() ||
        QToolTip::text() != previous) {
        return;
    }
    QToolTip::showText(tipPosition_, tip, tipWidget_.data());
    if (trace_.Enabled()) {
        trace_.Write("tooltip-refresh " + Trace::Quote(tip.toStdString()));
    }
}

}  // namespace ww::platform
