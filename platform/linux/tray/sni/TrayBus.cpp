#include "platform/linux/tray/sni/TrayBus.h"

namespace ww::platform {
namespace {

// The connection made after a loss, by name; none before.
QString& Reconnected() {
    static QString name;
    return name;
}

}  // namespace

QDBusConnection TrayBus() {
    return Reconnected().isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(Reconnected());
}

bool ReconnectTrayBus() {
    static int connections = 0;
    const QString name = QStringLiteral("wakewatch-tray-%1").arg(++connections);
    if (!QDBusConnection::connectToBus(QDBusConnection::SessionBus, name).isConnected()) {
        QDBusConnection::disconnectFromBus(name);
        return false;
    }
    if (!Reconnected().isEmpty()) {
        QDBusConnection::disconnectFromBus(Reconnected());
    }
    Reconnected() = name;
    return true;
}

}  // namespace ww::platform
