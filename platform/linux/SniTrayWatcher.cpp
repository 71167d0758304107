#include "platform/linux/SniTrayWatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>

namespace ww::platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

}  // namespace

SniTrayWatcher::SniTrayWatcher() = default;
SniTrayWatcher::~SniTrayWatcher() = default;

bool SniTrayWatcher::WatcherRegistered() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    return bus.interface()->isServiceRegistered(kWatcherService).value();
}

void SniTrayWatcher::Start() {
    present_ = WatcherRegistered();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    watcher_ = std::make_unique<QDBusServiceWatcher>(kWatcherService, bus,
                                                     QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged, watcher_.get(),
                     [this](const QString&, const QString& /*oldOwner*/, const QString& newOwner) {
                         if (newOwner.isEmpty()) {
                             if (present_) {
                                 present_ = false;
                                 if (onLost) {
                                     onLost();
                                 }
                             }
                             return;
                         }
                         // Registered afresh, or handed from one process to another.
                         present_ = true;
                         if (onAppeared) {
                             onAppeared();
                         }
                     });
}

}  // namespace ww::platform
