#include "platform/linux/tray/sni/SniTrayWatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QTimer>

#include "SniWatcherProxy.h"
#include "platform/linux/tray/sni/DBusSignalRelay.h"
#include "platform/linux/tray/sni/TrayBus.h"

namespace ww::platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The generated proxy reads properties only while blocking.
QDBusMessage HostQuestion() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kProperties, "Get");
    call << kWatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    return call;
}

bool HostAnswer(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return qvariant_cast<QDBusVariant>(reply.arguments().front()).variant().toBool();
}

void DropLater(std::unique_ptr<QObject> object) {
    if (object) {
        object.release()->deleteLater();
    }
}

}  // namespace

SniTrayWatcher::SniTrayWatcher() = default;
SniTrayWatcher::~SniTrayWatcher() = default;

bool SniTrayWatcher::WatcherRegistered() {
    QDBusConnection bus = TrayBus();
    if (!bus.isConnected() || bus.interface() == nullptr) {
        return false;
    }
    return bus.interface()->isServiceRegistered(kWatcherService).value();
}

void SniTrayWatcher::Start() {
    QDBusConnection bus = TrayBus();
    if (!bus.isConnected()) {
        return;
    }
    relay_ = std::make_unique<DBusSignalRelay>([this](const QDBusMessage&) { OnBusLost(); });
    relay_->Listen(bus, QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
                   QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"));
    proxy_ = std::make_unique<SniWatcherProxy>(kWatcherService, kWatcherPath, bus);
    QObject::connect(proxy_.get(), &SniWatcherProxy::StatusNotifierHostRegistered, proxy_.get(),
                     [this] { OnHostRegistered(); });
    QObject::connect(proxy_.get(), &SniWatcherProxy::StatusNotifierHostUnregistered, proxy_.get(),
                     [this] { OnHostUnregistered(); });
    serviceWatcher_ = std::make_unique<QDBusServiceWatcher>(
        kWatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange);
    QObject::connect(serviceWatcher_.get(), &QDBusServiceWatcher::serviceOwnerChanged,
                     serviceWatcher_.get(),
                     [this](const QString&, const QString&, const QString& newOwner) {
                         OwnerChanged(newOwner);
                     });
    watcher_ = WatcherRegistered();
    if (watcher_) {
        // Start-up may wait this long for a watcher that does not answer.
        constexpr int kStartQuestionMs = 1000;
        host_ = HostAnswer(bus.call(HostQuestion(), QDBus::Block, kStartQuestionMs));
    }
}

void SniTrayWatcher::OwnerChanged(const QString& newOwner) {
    ++generation_;
    if (newOwner.isEmpty()) {
        const bool was = watcher_;
        watcher_ = false;
        host_ = false;
        if (was) {
            Report(Change::WatcherGone);
        }
        return;
    }
    // Registered afresh, or handed from one process to another. The news
    // waits for what the new watcher says about hosts.
    const unsigned generation = generation_;
    AskHost([this, generation](bool host) {
        if (generation != generation_) {
            return;
        }
        watcher_ = true;
        host_ = host;
        Report(Change::WatcherAppeared);
    });
}

void SniTrayWatcher::AskHost(std::function<void(bool)> then) {
    if (!relay_) {
        return;  // the connection is gone
    }
    auto* pending = new QDBusPendingCallWatcher(TrayBus().asyncCall(HostQuestion()), relay_.get());
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, relay_.get(),
                     [then = std::move(then)](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         then(HostAnswer(call->reply()));
                     });
}

void SniTrayWatcher::OnHostRegistered() {
    if (watcher_ && !host_) {
        host_ = true;
        Report(Change::HostRegistered);
    }
    // Without a watcher, WatcherAppeared will tell.
}

void SniTrayWatcher::OnHostUnregistered() {
    if (!watcher_) {
        return;
    }
    // One host went; others may be left.
    const unsigned generation = generation_;
    AskHost([this, generation](bool host) {
        if (generation != generation_ || !watcher_ || host || !host_) {
            return;
        }
        host_ = false;
        Report(Change::HostsGone);
    });
}

void SniTrayWatcher::OnBusLost() {
    ++generation_;
    watcher_ = false;
    host_ = false;
    // Called from the relay's own slot: what followed the old connection
    // goes once the slot is done.
    DropLater(std::move(relay_));
    DropLater(std::move(proxy_));
    DropLater(std::move(serviceWatcher_));
    Report(Change::BusLost);
    Reconnect();
}

void SniTrayWatcher::Reconnect() {
    if (!ReconnectTrayBus()) {
        if (!reconnect_) {
            reconnect_ = std::make_unique<QTimer>();
            reconnect_->setSingleShot(true);
            QObject::connect(reconnect_.get(), &QTimer::timeout, reconnect_.get(),
                             [this] { Reconnect(); });
        }
        reconnect_->start(kReconnectMs);
        return;
    }
    Start();
    Report(Change::BusBack);
}

void SniTrayWatcher::Report(Change change) {
    if (onChange) {
        onChange(change);
    }
}

}  // namespace ww::platform
