#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/TrayHost.h"
#include "platform/linux/tray/TrayView.h"
#include "platform/linux/tray/sni/SniItem.h"

namespace ww::platform {

// The tray icon: our own StatusNotifierItem, or the toolkit's XEmbed icon.
//
// Qt decides once per process whether its tray icons speak
// StatusNotifierItem, when the first one is made, by whether a host was
// registered then. So the toolkit's icon is made only when it is first needed
// in an XEmbed tray, a moment when no host is there: it stays XEmbed.
class QtTrayView final : public QObject, public QAbstractNativeEventFilter, public TrayView {
  public:
    explicit QtTrayView(Trace& trace);
    ~QtTrayView() override;

    // The tray the next Show goes to; a shown icon leaves the other.
    void SetKind(TrayKind kind);
    TrayKind Kind() const { return kind_; }

    void SetToolTip(const QString& tip) override;
    void SetIcon(const QIcon& icon) override;
    void Show() override;
    void Hide() override;
    void SetClickHandler(ClickHandler handler) override;

    // The dbusmenu object of the item, and what a host's ContextMenu request
    // does.
    void SetMenu(DBusExport* menu, std::function<void(QPoint at)> onContextMenu);
    // Whether a host could be showing the item's tooltip now: tooltip
    // changes wait until it could.
    void SetToolTipGate(std::function<bool()> mayShow) { sni_.tipMayShow = std::move(mayShow); }
    // A mouse action the host made known another way (its asking for the menu).
    void ReportClick(TrayClick click);

    // Remembers where and for which widget the XEmbed icon's tooltip was
    // asked for, to refresh it in place.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Shows and hides the XEmbed icon's tooltip on crossings a tray host
    // forwards with XSendEvent.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    QSystemTrayIcon& XEmbedIcon();
    void RefreshVisibleTip(const QString& previous, const QString& tip);

    Trace& trace_;
    TrayKind kind_ = TrayKind::None;
    bool shown_ = false;
    QString tip_;
    QIcon icon_;
    SniItem sni_;
    std::unique_ptr<QSystemTrayIcon> xembed_;
    ClickHandler onClick_;
    QPointer<QWidget> tipWidget_;
    QPoint tipPosition_;
    QPointer<QWidget> entered_;
    QTimer enteredRest_;
};

}  // namespace ww::platform
