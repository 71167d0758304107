#pragma once

#include <QDBusMessage>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QTimer;
// Generated from org.kde.StatusNotifierWatcher.xml.
class SniWatcherProxy;

namespace ww::platform {

class DBusSignalRelay;

// Follows the StatusNotifierWatcher on the session bus, the registry that
// StatusNotifierItem hosts (panels) keep, and whether a host has registered
// with it. When the bus drops the tray's connection, it connects anew (every
// second until a bus is there) and follows the watcher on the new
// connection.
class SniTrayWatcher {
  public:
    enum class Change {
        WatcherGone,
        // A watcher registered, or a new process took over the name; what it
        // says about hosts is known by then.
        WatcherAppeared,
        HostRegistered,
        HostsGone,
        // The bus dropped the connection: no watcher until it is back.
        BusLost,
        // Connected anew; what the watcher says is known by then, as at Start.
        BusBack,
    };

    SniTrayWatcher();
    ~SniTrayWatcher();
    SniTrayWatcher(const SniTrayWatcher&) = delete;
    SniTrayWatcher& operator=(const SniTrayWatcher&) = delete;

    // Whether a watcher is on the tray's session bus now (false without a bus).
    static bool WatcherRegistered();

    // Looks at the watcher now and starts following it.
    void Start();
    bool WatcherPresent() const { return watcher_; }
    bool HostPresent() const { return watcher_ && host_; }

    // How long a lost connection waits before the next try.
    static constexpr int kReconnectMs = 1000;

    std::function<void(Change)> onChange;

  private:
    void OwnerChanged(const QString& newOwner);
    // Asks the watcher whether a host is registered; `then` gets the answer.
    void AskHost(std::function<void(bool)> then);
    void OnHostRegistered();
    void OnHostUnregistered();
    void OnBusLost();
    void Reconnect();
    void Report(Change change);

    std::unique_ptr<QDBusServiceWatcher> serviceWatcher_;
    std::unique_ptr<SniWatcherProxy> proxy_;
    // The connection's own Disconnected signal.
    std::unique_ptr<DBusSignalRelay> relay_;
    std::unique_ptr<QTimer> reconnect_;
    bool watcher_ = false;
    bool host_ = false;
    // Counts owners and connections, so that an answer about an owner (or
    // from a connection) gone since is dropped.
    unsigned generation_ = 0;
};

}  // namespace ww::platform
