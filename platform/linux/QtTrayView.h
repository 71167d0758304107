#pragma once

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include "platform/linux/Trace.h"
#include "platform/linux/TrayHost.h"
#include "platform/linux/TrayView.h"

namespace ww::platform {

// The tray icon over QSystemTrayIcon, which serves XEmbed and
// StatusNotifierItem hosts alike.
class QtTrayView final : public QObject, public TrayView {
  public:
    QtTrayView(TrayKind kind, Trace& trace);
    ~QtTrayView() override;

    void SetToolTip(const QString& tip) override;
    void SetIcon(const QIcon& icon) override;
    void Show() override;
    void Hide() override;
    void SetClickHandler(ClickHandler handler) override;

    // The menu a StatusNotifierItem host shows on its own (null: none).
    void SetContextMenu(QMenu* menu);
    // A mouse action the host made known another way (its showing the menu).
    void ReportClick(TrayClick click);

    // Remembers where and for which widget the XEmbed icon's tooltip was
    // asked for, to refresh it in place.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RefreshVisibleTip(const QString& previous, const QString& tip);

    Trace& trace_;
    TrayKind kind_;
    QSystemTrayIcon tray_;
    ClickHandler onClick_;
    QPointer<QWidget> tipWidget_;
    QPoint tipPosition_;
};

}  // namespace ww::platform
