#pragma once

#include <functional>
#include <memory>

class QDBusServiceWatcher;

namespace ww::platform {

// Follows the StatusNotifierWatcher on the session bus, the registry that
// StatusNotifierItem hosts (panels) keep.
class SniTrayWatcher {
  public:
    SniTrayWatcher();
    ~SniTrayWatcher();
    SniTrayWatcher(const SniTrayWatcher&) = delete;
    SniTrayWatcher& operator=(const SniTrayWatcher&) = delete;

    // Whether a watcher is on the session bus now (false without a bus).
    static bool WatcherRegistered();

    // Starts following the watcher's owner.
    void Start();
    bool Present() const { return present_; }

    std::function<void()> onLost;
    // Also when a new process took over the watcher's name.
    std::function<void()> onAppeared;

  private:
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    bool present_ = false;
};

}  // namespace ww::platform
