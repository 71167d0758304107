#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// Generated from platform/linux/tray/sni/org.kde.StatusNotifierItem.xml.
class SniHostItemProxy;

namespace ww::e2e {

// The test host's log: "<ms since start> <line>" to a file, or to stdout.
class HostLog {
  public:
    explicit HostLog(const QString& path);
    void Write(const QString& line);

  private:
    QFile file_;
    QElapsedTimer clock_;
};

// The StatusNotifierWatcher and the host in one, serving
// org.kde.StatusNotifierWatcher through the adaptor QtDBus generates from
// platform/linux/tray/sni/org.kde.StatusNotifierWatcher.xml.
class SniHostWatcher final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)

  public:
    SniHostWatcher(QDBusConnection bus, HostLog& log);

    // Forgets the first `count` registrations 800 ms after each, as a panel
    // whose proxy for the item failed: with StatusNotifierItemUnregistered
    // unless `silently`.
    void DropRegistrations(int count, bool silently) {
        drops_ = count;
        dropSilently_ = silently;
    }
    // After every signal of an item, reads all its properties again, as
    // plasmashell does, instead of only the one that changed.
    void RefetchAll(bool all) { refetchAll_ = all; }

    // Takes the watcher's name.
    void Up();
    // Registers a host.
    void HostUp();

    // The interface's methods, as the generated adaptor calls them.
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString&) {}

    QStringList RegisteredStatusNotifierItems() const { return items_; }
    bool IsStatusNotifierHostRegistered() const { return host_; }
    int ProtocolVersion() const { return 0; }

  public Q_SLOTS:
    // The followed menu's ItemsPropertiesUpdated and LayoutUpdated.
    void MenuUpdated(const QDBusMessage& message);
    void MenuLaidOut(const QDBusMessage& message);

  Q_SIGNALS:
    // Relayed to the bus by the adaptor.
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();
    void StatusNotifierHostUnregistered();

  private:
    void Registered(const QString& service, const QString& sender);
    void OnItemSignal(SniHostItemProxy& item, bool tip);
    void FollowMenu(SniHostItemProxy& item);
    void Drop(const QString& service);

    QDBusConnection bus_;
    HostLog& log_;
    QStringList items_;
    // The items heard from, by service.
    QHash<QString, SniHostItemProxy*> followed_;
    bool host_ = false;
    int drops_ = 0;
    bool dropSilently_ = false;
    bool refetchAll_ = false;
};

}  // namespace ww::e2e
