#include "platform/linux/tray/sni/SniTrayWatcher.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

#include "platform/linux/tray/sni/DBusSignalRelay.h"

namespace ww::platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

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
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    relay_ = std::make_unique<DBusSignalRelay>(
        [this](const QDBusMessage& message) { OnWatcherSignal(message); });
    for (const char* name : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"}) {
        relay_->Listen(bus, kWatcherService, kWatcherPath, kWatcherService,
                       QString::fromLatin1(name));
    }
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
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(HostQuestion()), relay_.get());
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, relay_.get(),
                     [then = std::move(then)](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         then(HostAnswer(call->reply()));
                     });
}

void SniTrayWatcher::OnWatcherSignal(const QDBusMessage& message) {
    if (!watcher_) {
        return;  // WatcherAppeared will tell
    }
    if (message.member() == QLatin1String("StatusNotifierHostRegistered")) {
        if (!host_) {
            host_ = true;
            Report(Change::HostRegistered);
        }
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

void SniTrayWatcher::Report(Change change) {
    if (onChange) {
        onChange(change);
    }
}

}  // namespace ww::platform
