#include "platform/linux/tray/sni/SniItem.h"

#include <unistd.h>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusVariant>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <cstdio>

#include "SniItemAdaptor.h"
#include "SniWatcherProxy.h"
#include "platform/linux/tray/sni/TrayBus.h"

namespace ww::platform {
namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// How long after a registration the watcher is asked whether it kept the
// item: one whose host fails on the item drops it within a second or so.
constexpr int kCheckListedMs = 3000;

QByteArray NetworkOrderArgb(const QImage& image) {
    QByteArray bytes(static_cast<qsizetype>(image.width()) * image.height() * 4, '\0');
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            qToBigEndian<quint32>(image.pixel(x, y), out);
            out += 4;
        }
    }
    return bytes;
}

}  // namespace

SniItem::SniItem(Trace& trace)
    : trace_(trace), export_(*new SniItemAdaptor(this), kItemPath), bus_(TrayBus()) {
    RegisterSniTypes();
    clock_.start();
    registerAgain_.setSingleShot(true);
    connect(&registerAgain_, &QTimer::timeout, this, [this] {
        if (shown_) {
            Register();
        }
    });
    checkListed_.setSingleShot(true);
    connect(&checkListed_, &QTimer::timeout, this, [this] { CheckListed(); });
}

SniItem::~SniItem() {
    Hide();
}

SniPixmaps SniItem::Pixmaps(const QIcon& icon) {
    SniPixmaps pixmaps;
    for (int size : kSizes) {
        const int drawn = kArtSize * std::max(1, size / kArtSize);
        QImage art = icon.pixmap(QSize(drawn, drawn), 1.0).toImage();
        if (art.size() != QSize(drawn, drawn)) {
            art = art.scaled(drawn, drawn, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        art = art.convertToFormat(QImage::Format_ARGB32);
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const int offset = (size - drawn) / 2;
        for (int y = 0; y < drawn; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(art.constScanLine(y));
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y + offset)) + offset;
            std::copy(in, in + drawn, out);
        }
        pixmaps.push_back(SniPixmap{size, size, NetworkOrderArgb(image)});
    }
    return pixmaps;
}

bool SniItem::Names(const QString& entry, const QString& service, const QString& connection) {
    const qsizetype end = entry.indexOf(QRegularExpression(QStringLiteral("[/@]")));
    const QString name = end < 0 ? entry : entry.left(end);
    return !name.isEmpty() && (name == service || name == connection);
}

void SniItem::SetToolTip(const QString& tip) {
    tip_ = tip;
    if (shown_ && tipsShown_ && publishedTip_ != tip_ && (!tipMayShow || tipMayShow())) {
        Emit("NewToolTip");
    }
}

void SniItem::SetIcon(const QIcon& icon) {
    icon_ = icon;
    if (shown_ && publishedIcon_ != icon_.cacheKey()) {
        // Two icons may still draw the same picture: hosts hear only of a new one.
        const SniPixmaps* before = nullptr;
        if (publishedIcon_) {
            const auto known = rendered_.find(*publishedIcon_);
            before = known != rendered_.end() ? &known->second : nullptr;
        }
        const SniPixmaps& now = CurrentPixmaps();
        const bool same = before != nullptr && before->size() == now.size() &&
                          std::equal(before->begin(), before->end(), now.begin(),
                                     [](const SniPixmap& a, const SniPixmap& b) {
                                         return a.width == b.width && a.bytes == b.bytes;
                                     });
        if (same) {
            publishedIcon_ = icon_.cacheKey();
        } else {
            Emit("NewIcon");
        }
    }
}

const SniPixmaps& SniItem::CurrentPixmaps() {
    const qint64 key = icon_.cacheKey();
    auto known = rendered_.find(key);
    if (known == rendered_.end()) {
        known = rendered_.emplace(key, Pixmaps(icon_)).first;
    }
    return known->second;
}

QDBusObjectPath SniItem::Menu() const {
    return QDBusObjectPath(menu_ != nullptr ? menu_->Path() : QStringLiteral("/"));
}

void SniItem::Show() {
    const QDBusConnection bus = TrayBus();
    if (shown_ || !bus.isConnected()) {
        return;
    }
    if (!watcher_ || bus.name() != bus_.name()) {
        // The first time, or on a new connection after the bus dropped the last.
        bus_ = bus;
        watcher_ = std::make_unique<SniWatcherProxy>(kWatcherService, kWatcherPath, bus_);
        // A stale notice (the name given up by an earlier Hide) names the item
        // too: what counts is whether the watcher still lists it.
        connect(watcher_.get(), &SniWatcherProxy::StatusNotifierItemUnregistered, this,
                [this](const QString& service) {
                    if (shown_ && Names(service, service_, bus_.baseService())) {
                        CheckListed();
                    }
                });
        watcherProperties_ = std::make_unique<DBusSignalRelay>(
            [this](const QDBusMessage& message) { OnWatcherProperties(message); });
        watcherProperties_->Listen(bus_, kWatcherService, kWatcherPath, kProperties,
                                   QStringLiteral("PropertiesChanged"));
    }
    export_.Register(bus_);
    if (menu_ != nullptr) {
        menu_->Register(bus_);
    }
    service_ = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid());
    if (!bus_.registerService(service_)) {
        // Hosts accept the connection's own name just as well.
        service_ = bus_.baseService();
    }
    shown_ = true;
    publishedTip_ = tip_;
    publishedIcon_ = icon_.cacheKey();
    tipsShown_ = ShowsToolTips(WatcherProgram());
    if (!tipsShown_) {
        trace_.Write("sni tooltips unannounced");
    }
    Register();
}

bool SniItem::ShowsToolTips(const QString& watcherProgram) {
    // GNOME Shell's AppIndicator extension (the watcher inside the shell)
    // shows no tooltips, by its design, yet reads every one it is told of.
    return watcherProgram != QLatin1String("gnome-shell");
}

QString SniItem::WatcherProgram() const {
    const QDBusConnectionInterface* bus = bus_.interface();
    if (bus == nullptr) {
        return {};
    }
    const QDBusReply<uint> pid = bus->servicePid(kWatcherService);
    if (!pid.isValid()) {
        return {};
    }
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid.value()));
    if (!comm.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(comm.readAll()).trimmed();
}

void SniItem::Hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    registered_ = false;
    registerAgain_.stop();
    checkListed_.stop();
    if (service_ != bus_.baseService()) {
        bus_.unregisterService(service_);
    }
    trace_.Write("sni withdrawn");
}

void SniItem::Register() {
    registered_ = false;
    // Registered by the connection's own name, though the item owns the
    // well-known one too: GNOME's AppIndicator extension watches a
    // well-known name, and when that watch first reports the name (after its
    // GetAll, at times) it empties its copy of Id and Menu, fails to fetch
    // them again and drops the item a second later.
    auto* pending =
        new QDBusPendingCallWatcher(watcher_->RegisterStatusNotifierItem(bus_.baseService()), this);
    QObject::connect(
        pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
            answer->deleteLater();
            if (!shown_) {
                return;
            }
            const QDBusMessage reply = answer->reply();
            if (reply.type() == QDBusMessage::ReplyMessage) {
                registered_ = true;
                trace_.Write("sni registered");
                checkListed_.start(kCheckListedMs);
                return;
            }
            trace_.Write("sni register failed " + Trace::Quote(reply.errorName().toStdString()));
            // A watcher that is there but refused the item; one that
            // is gone brings it back when it returns.
            const QString error = reply.errorName();
            if (error != QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") &&
                error != QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
                std::fprintf(stderr, "wakewatch: the tray's watcher refused the icon: %s\n",
                             qPrintable(reply.errorMessage()));
                Forgotten();
            }
        });
}

void SniItem::CheckListed() {
    if (!shown_ || !watcher_) {
        return;
    }
    // The generated proxy reads properties only while blocking.
    QDBusMessage get =
        QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kProperties, "Get");
    get << kWatcherService << QStringLiteral("RegisteredStatusNotifierItems");
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(get), this);
    QObject::connect(
        pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
            answer->deleteLater();
            const QDBusMessage reply = answer->reply();
            if (!shown_ || !registered_ || reply.type() != QDBusMessage::ReplyMessage ||
                reply.arguments().isEmpty()) {
                return;  // not registered yet, or a watcher that does not say
            }
            const QVariant items = qvariant_cast<QDBusVariant>(reply.arguments().front()).variant();
            if (!Listed(qdbus_cast<QStringList>(items))) {
                Forgotten();
            }
        });
}

void SniItem::OnWatcherProperties(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (!shown_ || !registered_ || arguments.size() < 3) {
        return;
    }
    const QString name = QStringLiteral("RegisteredStatusNotifierItems");
    const auto changed = qdbus_cast<QVariantMap>(arguments[1]);
    if (changed.contains(name)) {
        if (!Listed(qdbus_cast<QStringList>(changed.value(name)))) {
            Forgotten();
        }
    } else if (qdbus_cast<QStringList>(arguments[2]).contains(name)) {
        CheckListed();
    }
}

bool SniItem::Listed(const QStringList& items) const {
    return std::any_of(items.begin(), items.end(), [this](const QString& item) {
        return Names(item, service_, bus_.baseService());
    });
}

void SniItem::Forgotten() {
    if (!shown_ || registerAgain_.isActive()) {
        return;
    }
    registered_ = false;
    checkListed_.stop();
    const std::optional<int> wait = again_.Next(clock_.elapsed());
    if (!wait) {
        std::fprintf(stderr,
                     "wakewatch: the tray's watcher dropped the icon %d times within a minute; "
                     "it is not registered again\n",
                     RegisterAgain::kMost);
        trace_.Write("sni forgotten given-up");
        return;
    }
    std::fprintf(stderr,
                 "wakewatch: the tray's watcher dropped the icon; registering it again in "
                 "%d s\n",
                 *wait / 1000);
    if (trace_.Enabled()) {
        trace_.Write("sni forgotten again-in=" + std::to_string(*wait));
    }
    registerAgain_.start(*wait);
}

void SniItem::Emit(const char* signal) {
    if (std::string_view(signal) == "NewToolTip") {
        publishedTip_ = tip_;
    } else {
        publishedIcon_ = icon_.cacheKey();
    }
    export_.Emit(bus_, signal);
    if (trace_.Enabled()) {
        trace_.Write(std::string("sni ") + signal);
    }
}

void SniItem::Activate(int, int) {
    export_.Reply();
    if (trace_.Enabled()) {
        trace_.Write("sni activate");
    }
    if (onActivate) {
        onActivate();
    }
}

void SniItem::ContextMenu(int x, int y) {
    export_.Reply();
    if (trace_.Enabled()) {
        trace_.Write("sni context-menu");
    }
    if (onContextMenu) {
        onContextMenu(QPoint(x, y));
    }
}

}  // namespace ww::platform
