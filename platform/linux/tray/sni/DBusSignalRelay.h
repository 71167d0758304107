#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <functional>

namespace ww::platform {

// Hands the D-Bus signals it is connected to on to a function: QtDBus
// delivers signals only to slots.
class DBusSignalRelay final : public QObject {
    Q_OBJECT

  public:
    explicit DBusSignalRelay(std::function<void(const QDBusMessage&)> handler)
        : handler_(std::move(handler)) {}

    // Follows signal `name` of `interface` at `path` from whoever owns
    // `service` (an empty service: from anyone).
    bool Listen(QDBusConnection bus, const QString& service, const QString& path,
                const QString& interface, const QString& name) {
        return bus.connect(service, path, interface, name, this, SLOT(Deliver(QDBusMessage)));
    }

  public Q_SLOTS:
    void Deliver(const QDBusMessage& message) {
        if (handler_) {
            handler_(message);
        }
    }

  private:
    std::function<void(const QDBusMessage&)> handler_;
};

}  // namespace ww::platform
