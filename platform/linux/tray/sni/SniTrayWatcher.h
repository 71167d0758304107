#pragma once

#include <QDBusMessage>
#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace ww::platform {

class DBusSignalRelay;

// Follows the StatusNotifierWatcher on the session bus, the registry that
// StatusNotifierItem hosts (panels) keep, and whether a host has registered
// with it.
class SniTrayWatcher {
  public:
    enum class Change {
        WatcherGone,
        // A watcher registered, or a new process took over the name; what it
        // says about hosts is known by then.
        WatcherAppeared,
        HostRegistered,
        HostsGone,
    };

    SniTrayWatcher();
    ~SniTrayWatcher();
    SniTrayWatcher(const SniTrayWatcher&) = delete;
    SniTrayWatcher& operator=(const SniTrayWatcher&) = delete;

    // Whether a watcher is on the session bus now (false without a bus).
    static bool WatcherRegistered();

    // Looks at the watcher now and starts following it.
    void Start();
    bool WatcherPresent() const { return watcher_; }
    bool HostPresent() const { return watcher_ && host_; }

    std::function<void(Change)> onChange;

  private:
    void OwnerChanged(const QString& newOwner);
    // Asks the watcher whether a host is registered; `then` gets the answer.
    void AskHost(std::function<void(bool)> then);
    void OnWatcherSignal(const QDBusMessage& message);
    void Report(Change change);

    std::unique_ptr<QDBusServiceWatcher> serviceWatcher_;
    std::unique_ptr<DBusSignalRelay> relay_;
    bool watcher_ = false;
    bool host_ = false;
    // Counts owners, so that an answer about an owner gone since is dropped.
    unsigned generation_ = 0;
};

}  // namespace ww::platform
