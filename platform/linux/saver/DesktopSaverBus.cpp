#include "platform/linux/saver/DesktopSaverBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QObject>

#include <cstdio>
#include <optional>

#include "platform/linux/saver/interfaces/cinnamon_screensaver.h"
#include "platform/linux/saver/interfaces/gnome_screensaver.h"
#include "platform/linux/saver/interfaces/gnome_sessionmanager.h"
#include "platform/linux/saver/interfaces/login1_session.h"
#include "platform/linux/saver/interfaces/mate_screensaver.h"

namespace ww::platform {

namespace {

constexpr int kCallTimeoutMs = 2000;
constexpr uint kInhibitIdle = 8;

const QString kGnome = QStringLiteral("org.gnome.ScreenSaver");
// The shell's own name for its shield, with the same interface and object.
// org.gnome.ScreenSaver is a gjs service started on demand that forwards to
// it: early in a session, or where gjs is missing, only the shield's name is
// on the bus, and it is asked directly.
const QString kGnomeShield = QStringLiteral("org.gnome.Shell.ScreenShield");
const QString kMate = QStringLiteral("org.mate.ScreenSaver");
const QString kCinnamon = QStringLiteral("org.cinnamon.ScreenSaver");
const QString kCinnamonShell = QStringLiteral("org.Cinnamon");
const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");
const QString kLogin = QStringLiteral("org.freedesktop.login1");

template <typename Reply>
std::string Failure(Reply& reply) {
    reply.waitForFinished();
    if (!reply.isError()) {
        return {};
    }
    return (reply.error().name() + QStringLiteral(": ") + reply.error().message()).toStdString();
}

template <typename Proxy>
std::string SetActive(const QString& service, const QString& path) {
    Proxy proxy(service, path, QDBusConnection::sessionBus());
    proxy.setTimeout(kCallTimeoutMs);
    auto reply = proxy.SetActive(true);
    const std::string failed = Failure(reply);
    return failed.empty() ? failed : service.toStdString() + ".SetActive failed: " + failed;
}

}  // namespace

struct DesktopSaverBus::Impl {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QObject context;  // owns the watcher
    bool gnome = false;
    bool gnomeShield = false;
    bool mate = false;
    bool cinnamon = false;
    bool cinnamonShell = false;
    bool cinnamonActivatable = false;
    bool sessionManager = false;
    bool logindSession = false;
    bool wanted = false;
    std::optional<uint> cookie;

    void Watch();
    std::string Inhibit();
};

void DesktopSaverBus::Impl::Watch() {
    if (bus.isConnected()) {
        auto* watcher = new QDBusServiceWatcher(&context);
        watcher->setConnection(bus);
        watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        watcher->setWatchedServices(
            {kGnome, kGnomeShield, kMate, kCinnamon, kCinnamonShell, kSessionManager});
        QObject::connect(
            watcher, &QDBusServiceWatcher::serviceOwnerChanged, &context,
            [this](const QString& name, const QString& oldOwner, const QString& newOwner) {
                const bool now = !newOwner.isEmpty();
                if (name == kGnome) {
                    gnome = now;
                } else if (name == kGnomeShield) {
                    gnomeShield = now;
                } else if (name == kMate) {
                    mate = now;
                } else if (name == kCinnamon) {
                    cinnamon = now;
                } else if (name == kCinnamonShell) {
                    cinnamonShell = now;
                } else if (name == kSessionManager) {
                    // Its inhibitors die with it.
                    if (!oldOwner.isEmpty()) {
                        cookie.reset();
                    }
                    sessionManager = now;
                    if (now && wanted) {
                        Inhibit();
                    }
                }
            });
        // Looked for once the watch is in place, so one that comes in between is not missed.
        if (const QDBusConnectionInterface* daemon = bus.interface()) {
            gnome = daemon->isServiceRegistered(kGnome).value();
            gnomeShield = daemon->isServiceRegistered(kGnomeShield).value();
            mate = daemon->isServiceRegistered(kMate).value();
            cinnamon = daemon->isServiceRegistered(kCinnamon).value();
            cinnamonShell = daemon->isServiceRegistered(kCinnamonShell).value();
            cinnamonActivatable = daemon->activatableServiceNames().value().contains(kCinnamon);
            sessionManager = daemon->isServiceRegistered(kSessionManager).value();
        }
    }
    // The caller's own session, if it has one; asked once, as it cannot change.
    const QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        OrgFreedesktopLogin1SessionInterface session(
            kLogin, QStringLiteral("/org/freedesktop/login1/session/auto"), system);
        session.setTimeout(kCallTimeoutMs);
        logindSession = !session.id().isEmpty();
    }
}

std::string DesktopSaverBus::Impl::Inhibit() {
    if (cookie) {
        return {};
    }
    OrgGnomeSessionManagerInterface manager(kSessionManager,
                                            QStringLiteral("/org/gnome/SessionManager"), bus);
    manager.setTimeout(kCallTimeoutMs);
    auto reply = manager.Inhibit(QStringLiteral("wakewatch"), 0,
                                 QStringLiteral("The screen saver is switched off from Wakewatch"),
                                 kInhibitIdle);
    const std::string failed = Failure(reply);
    if (!failed.empty()) {
        std::fprintf(stderr, "wakewatch: org.gnome.SessionManager.Inhibit failed: %s\n",
                     failed.c_str());
        return "org.gnome.SessionManager.Inhibit failed: " + failed;
    }
    cookie = reply.value();
    return {};
}

DesktopSaverBus::DesktopSaverBus() : impl_(std::make_unique<Impl>()) {
    impl_->Watch();
}

DesktopSaverBus::~DesktopSaverBus() {
    Release();
}

void DesktopSaverBus::Offer(SaverOffer& offer) const {
    offer.gnome = impl_->gnome || impl_->gnomeShield;
    offer.mate = impl_->mate;
    // cinnamon-screensaver leaves the bus 30 s after it was last active and
    // the bus starts it again on the next call: in Cinnamon's session it is
    // the saver all along.
    offer.cinnamon = impl_->cinnamon || (impl_->cinnamonShell && impl_->cinnamonActivatable);
    offer.sessionManager = impl_->sessionManager;
    offer.logindSession = impl_->logindSession;
}

std::string DesktopSaverBus::Start(StartWay way) {
    switch (way) {
        case StartWay::GnomeSetActive:
            return SetActive<OrgGnomeScreenSaverInterface>(
                impl_->gnome || !impl_->gnomeShield ? kGnome : kGnomeShield,
                QStringLiteral("/org/gnome/ScreenSaver"));
        case StartWay::MateSetActive:
            return SetActive<OrgMateScreenSaverInterface>(kMate,
                                                          QStringLiteral("/org/mate/ScreenSaver"));
        case StartWay::CinnamonSetActive:
            return SetActive<OrgCinnamonScreenSaverInterface>(
                kCinnamon, QStringLiteral("/org/cinnamon/ScreenSaver"));
        case StartWay::LogindLock: {
            OrgFreedesktopLogin1SessionInterface session(
                kLogin, QStringLiteral("/org/freedesktop/login1/session/auto"),
                QDBusConnection::systemBus());
            session.setTimeout(kCallTimeoutMs);
            auto reply = session.Lock();
            const std::string failed = Failure(reply);
            return failed.empty() ? failed
                                  : "org.freedesktop.login1.Session.Lock failed: " + failed;
        }
        default:
            return "no desktop service starts this saver";
    }
}

std::string DesktopSaverBus::Hold() {
    impl_->wanted = true;
    return impl_->Inhibit();
}

void DesktopSaverBus::Release() {
    impl_->wanted = false;
    if (!impl_->cookie) {
        return;
    }
    OrgGnomeSessionManagerInterface manager(
        kSessionManager, QStringLiteral("/org/gnome/SessionManager"), impl_->bus);
    manager.setTimeout(kCallTimeoutMs);
    auto reply = manager.Uninhibit(*impl_->cookie);
    impl_->cookie.reset();
    const std::string failed = Failure(reply);
    if (!failed.empty()) {
        std::fprintf(stderr, "wakewatch: org.gnome.SessionManager.Uninhibit failed: %s\n",
                     failed.c_str());
    }
}

bool DesktopSaverBus::Held() const {
    return impl_->wanted;
}

}  // namespace ww::platform
