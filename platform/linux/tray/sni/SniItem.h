#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QIcon>
#include <QPoint>
#include <QString>
#include <functional>
#include <map>
#include <optional>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/SniTypes.h"

namespace ww::platform {

// The tray icon as our own org.kde.StatusNotifierItem on the session bus.
//
// Shown, it owns a bus name of its own and registers it with the
// StatusNotifierWatcher; hidden, it gives the name up, which takes it out of
// every host. Hosts read the picture and the tooltip when told they changed,
// so NewIcon and NewToolTip go out only for real changes.
class SniItem final : public QDBusVirtualObject {
  public:
    static constexpr int kSizes[] = {16, 22, 24, 32, 48};

    explicit SniItem(Trace& trace);
    ~SniItem() override;
    SniItem(const SniItem&) = delete;
    SniItem& operator=(const SniItem&) = delete;

    void SetToolTip(const QString& tip);
    void SetIcon(const QIcon& icon);
    // The dbusmenu object hosts find at the Menu path (null: none).
    void SetMenu(QDBusVirtualObject* menu) { menu_ = menu; }

    // Exports the item and registers it with the watcher.
    void Show();
    void Hide();
    bool Shown() const { return shown_; }

    // A host's left click.
    std::function<void()> onActivate;
    // A host that asks the item to show its menu at this point.
    std::function<void(QPoint at)> onContextMenu;

    // The picture at every size a host may ask for, drawn at exactly that
    // size, as ARGB32 in network byte order.
    static SniPixmaps Pixmaps(const QIcon& icon);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  private:
    const SniPixmaps& CurrentPixmaps();
    QVariant Property(const QString& name);
    QVariantMap AllProperties();
    void Emit(const char* signal);
    void Register();

    Trace& trace_;
    QDBusConnection bus_;
    QString service_;
    QDBusVirtualObject* menu_ = nullptr;
    bool shown_ = false;
    bool exported_ = false;

    QString tip_;
    QIcon icon_;
    // Rendered pictures by the icon's cache key: the icon alternates among a
    // few pictures.
    std::map<qint64, SniPixmaps> rendered_;
    // What hosts were last told.
    std::optional<QString> publishedTip_;
    std::optional<qint64> publishedIcon_;
};

}  // namespace ww::platform
