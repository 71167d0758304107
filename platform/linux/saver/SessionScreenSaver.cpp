#include "platform/linux/saver/SessionScreenSaver.h"

#include "platform/ports/ProgramInfo.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QObject>

#include <cstdio>
#include <optional>

#include "ScreenSaverProxy.h"

namespace ww::platform {

namespace {

QString Service() {
    return QStringLiteral("org.freedesktop.ScreenSaver");
}

constexpr int kCallTimeoutMs = 2000;
constexpr int kExitTimeoutMs = 500;
// KDE answers SetActive once its greeter is up, which takes seconds.
constexpr int kStartTimeoutMs = 15000;

}  // namespace

struct SessionScreenSaver::Impl {
    Impl() { service.setTimeout(kCallTimeoutMs); }

    QDBusConnection bus = QDBusConnection::sessionBus();
    // Generated from org.freedesktop.ScreenSaver.xml.
    ScreenSaverProxy service{Service(), QStringLiteral("/org/freedesktop/ScreenSaver"), bus};
    // Owns the watchers: its end cuts every pending reply off.
    QObject context;
    bool available = false;
    bool wanted = false;                      // Hold asked for and not yet released
    std::optional<QDBusPendingCall> pending;  // an Inhibit call awaiting its reply
    unsigned pendingId = 0;                   // tells that call's answer from older ones
    std::optional<uint> cookie;

    void Watch();
    void OwnerChanged(const QString& oldOwner, const QString& newOwner);
    void Inhibit();
    void Answered(const QDBusPendingReply<uint>& reply);
    void UnInhibit(uint held) { service.UnInhibit(held); }
};

void SessionScreenSaver::Impl::Watch() {
    if (!bus.isConnected()) {
        return;
    }
    // Watch first, then look: a service that appears in between is still
    // seen, by the look or by the watch.
    auto* watcher =
        new QDBusServiceWatcher(Service(), bus, QDBusServiceWatcher::WatchForOwnerChange, &context);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, &context,
                     [this](const QString&, const QString& oldOwner, const QString& newOwner) {
                         OwnerChanged(oldOwner, newOwner);
                     });
    if (const QDBusConnectionInterface* daemon = bus.interface()) {
        available = daemon->isServiceRegistered(Service()).value();
    }
}

void SessionScreenSaver::Impl::OwnerChanged(const QString& oldOwner, const QString& newOwner) {
    // A hold dies with the service that granted it, and an answer still to
    // come from that service no longer counts.
    if (!oldOwner.isEmpty()) {
        cookie.reset();
        pending.reset();
    }
    const bool now = !newOwner.isEmpty();
    if (now != available) {
        std::fprintf(stderr, "wakewatch: org.freedesktop.ScreenSaver %s the session bus\n",
                     now ? "appeared on" : "left");
    }
    available = now;
    if (available && wanted) {
        Inhibit();
    }
}

void SessionScreenSaver::Impl::Inhibit() {
    if (!available || cookie || pending) {
        return;
    }
    pending = service.Inhibit(QString::fromUtf8(kAppTitle),
                              QStringLiteral("The screen saver is switched off from Wakewatch"));
    const unsigned id = ++pendingId;
    auto* watcher = new QDBusPendingCallWatcher(*pending, &context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context,
                     [this, id](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         if (pending && id == pendingId) {
                             Answered(*finished);
                         }
                     });
}

void SessionScreenSaver::Impl::Answered(const QDBusPendingReply<uint>& reply) {
    pending.reset();
    if (reply.isError()) {
        std::fprintf(stderr, "wakewatch: screen saver Inhibit failed: %s\n",
                     qPrintable(reply.error().message()));
        return;
    }
    if (wanted) {
        cookie = reply.value();
    } else {
        UnInhibit(reply.value());  // released while the call was on its way
    }
}

SessionScreenSaver::SessionScreenSaver() : impl_(std::make_unique<Impl>()) {
    impl_->Watch();
}

SessionScreenSaver::~SessionScreenSaver() = default;

bool SessionScreenSaver::Available() const {
    return impl_->available;
}

bool SessionScreenSaver::Held() const {
    return impl_->wanted;
}

void SessionScreenSaver::Activate(Failed failed) {
    if (!failed) {
        failed = [](const std::string& what) {
            std::fprintf(stderr, "wakewatch: the screen saver did not start: %s\n", what.c_str());
        };
    }
    if (!impl_->available) {
        failed("org.freedesktop.ScreenSaver is not on the session bus");
        return;
    }
    // Not through the proxy: KDE's delayed answer carries no value.
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service(), QStringLiteral("/org/freedesktop/ScreenSaver"),
                                       Service(), QStringLiteral("SetActive"));
    call << true;
    auto* watcher =
        new QDBusPendingCallWatcher(impl_->bus.asyncCall(call, kStartTimeoutMs), &impl_->context);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, &impl_->context,
        [failed](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusMessage reply = finished->reply();
            if (reply.type() == QDBusMessage::ErrorMessage) {
                failed("org.freedesktop.ScreenSaver.SetActive failed: " +
                       (reply.errorName() + QStringLiteral(": ") + reply.errorMessage())
                           .toStdString());
            } else if (!reply.arguments().isEmpty() && !reply.arguments().front().toBool()) {
                failed("org.freedesktop.ScreenSaver.SetActive answered false");
            }
        });
}

void SessionScreenSaver::Hold() {
    impl_->wanted = true;
    impl_->Inhibit();
}

void SessionScreenSaver::Release() {
    impl_->wanted = false;
    if (impl_->cookie) {
        impl_->UnInhibit(*impl_->cookie);
        impl_->cookie.reset();
    }
}

void SessionScreenSaver::ReleaseNow() {
    impl_->wanted = false;
    if (impl_->pending) {
        impl_->pending->waitForFinished();  // bounded by the call's timeout
        const QDBusPendingReply<uint> reply = *impl_->pending;
        impl_->pending.reset();
        if (reply.isValid()) {
            impl_->cookie = reply.value();
        }
    }
    if (impl_->cookie) {
        impl_->service.setTimeout(kExitTimeoutMs);
        impl_->service.UnInhibit(*impl_->cookie).waitForFinished();
        impl_->service.setTimeout(kCallTimeoutMs);
        impl_->cookie.reset();
    }
}

}  // namespace ww::platform
