#include "platform/linux/tray/sni/SniItem.h"

#include <unistd.h>
#include <QDBusPendingCallWatcher>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

#include "SniItemAdaptor.h"
#include "SniWatcherProxy.h"
#include "platform/linux/tray/sni/TrayBus.h"

namespace ww::platform {
namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

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
}

SniItem::~SniItem() {
    Hide();
}

SniPixmaps SniItem::Pixmaps(const QIcon& icon) {
    SniPixmaps pixmaps;
    for (int size : kSizes) {
        QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        if (image.size() != QSize(size, size)) {
            image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
        pixmaps.push_back(SniPixmap{size, size, NetworkOrderArgb(image)});
    }
    return pixmaps;
}

void SniItem::SetToolTip(const QString& tip) {
    tip_ = tip;
    if (shown_ && publishedTip_ != tip_) {
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
    Register();
}

void SniItem::Hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    if (service_ != bus_.baseService()) {
        bus_.unregisterService(service_);
    }
    trace_.Write("sni withdrawn");
}

void SniItem::Register() {
    // Registered by the connection's own name, though the item owns the
    // well-known one too: GNOME's AppIndicator extension watches a
    // well-known name, and when that watch first reports the name (after its
    // GetAll, at times) it empties its copy of Id and Menu, fails to fetch
    // them again and drops the item a second later.
    auto* pending =
        new QDBusPendingCallWatcher(watcher_->RegisterStatusNotifierItem(bus_.baseService()), this);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* answer) {
                         answer->deleteLater();
                         const QDBusMessage reply = answer->reply();
                         if (reply.type() == QDBusMessage::ReplyMessage) {
                             trace_.Write("sni registered");
                         } else {
                             trace_.Write("sni register failed " +
                                          Trace::Quote(reply.errorName().toStdString()));
                         }
                     });
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
