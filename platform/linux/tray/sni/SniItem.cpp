#include "platform/linux/tray/sni/SniItem.h"

#include <unistd.h>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

#include "platform/ports/ProgramInfo.h"

namespace ww::platform {
namespace {

const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");

const char* const kIntrospection = R"xml(  <interface name="org.kde.StatusNotifierItem">
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
    <method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg name="status" type="s"/></signal>
  </interface>
)xml";

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

SniItem::SniItem(Trace& trace) : trace_(trace), bus_(QDBusConnection::sessionBus()) {
    RegisterSniTypes();
    service_ = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid());
}

SniItem::~SniItem() {
    Hide();
    if (exported_) {
        bus_.unregisterObject(kItemPath);
        if (menu_ != nullptr) {
            bus_.unregisterObject(kMenuPath);
        }
    }
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

void SniItem::Show() {
    if (shown_ || !bus_.isConnected()) {
        return;
    }
    if (!exported_) {
        exported_ = bus_.registerVirtualObject(kItemPath, this);
        if (menu_ != nullptr) {
            bus_.registerVirtualObject(kMenuPath, menu_);
        }
    }
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
    QDBusMessage call = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, kWatcherService, "RegisterStatusNotifierItem");
    call << service_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
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
    bus_.send(QDBusMessage::createSignal(kItemPath, kItemInterface, QString::fromLatin1(signal)));
    if (trace_.Enabled()) {
        trace_.Write(std::string("sni ") + signal);
    }
}

QVariant SniItem::Property(const QString& name) {
    if (name == QLatin1String("Category")) {
        return QStringLiteral("ApplicationStatus");
    }
    if (name == QLatin1String("Id")) {
        return QStringLiteral("wakewatch");
    }
    if (name == QLatin1String("Title")) {
        return QString::fromUtf8(kAppTitle);
    }
    if (name == QLatin1String("Status")) {
        return QStringLiteral("Active");
    }
    if (name == QLatin1String("WindowId")) {
        return 0;
    }
    if (name == QLatin1String("IconPixmap")) {
        return QVariant::fromValue(CurrentPixmaps());
    }
    if (name == QLatin1String("OverlayIconPixmap") ||
        name == QLatin1String("AttentionIconPixmap")) {
        return QVariant::fromValue(SniPixmaps{});
    }
    if (name == QLatin1String("IconName") || name == QLatin1String("OverlayIconName") ||
        name == QLatin1String("AttentionIconName") || name == QLatin1String("AttentionMovieName")) {
        return QString();
    }
    if (name == QLatin1String("ToolTip")) {
        return QVariant::fromValue(SniToolTip{QString(), SniPixmaps{}, tip_, QString()});
    }
    if (name == QLatin1String("ItemIsMenu")) {
        return false;
    }
    if (name == QLatin1String("Menu")) {
        return QVariant::fromValue(QDBusObjectPath(menu_ != nullptr ? kMenuPath : "/"));
    }
    return {};
}

QVariantMap SniItem::AllProperties() {
    QVariantMap all;
    for (const char* name :
         {"Category", "Id", "Title", "Status", "WindowId", "IconName", "IconPixmap",
          "OverlayIconName", "OverlayIconPixmap", "AttentionIconName", "AttentionIconPixmap",
          "AttentionMovieName", "ToolTip", "ItemIsMenu", "Menu"}) {
        all.insert(QString::fromLatin1(name), Property(QString::fromLatin1(name)));
    }
    return all;
}

QString SniItem::introspect(const QString&) const {
    return QString::fromLatin1(kIntrospection);
}

bool SniItem::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    if (message.interface() == kProperties) {
        if (member == QLatin1String("Get") && args.size() == 2) {
            const QVariant value = Property(args[1].toString());
            if (!value.isValid()) {
                connection.send(message.createErrorReply(QDBusError::InvalidArgs,
                                                         "No such property " + args[1].toString()));
                return true;
            }
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
            return true;
        }
        if (member == QLatin1String("GetAll")) {
            connection.send(message.createReply(AllProperties()));
            return true;
        }
        connection.send(
            message.createErrorReply(QDBusError::PropertyReadOnly, "The item is read-only"));
        return true;
    }
    if (member == QLatin1String("Activate")) {
        connection.send(message.createReply());
        if (trace_.Enabled()) {
            trace_.Write("sni activate");
        }
        if (onActivate) {
            onActivate();
        }
        return true;
    }
    if (member == QLatin1String("ContextMenu") && args.size() == 2) {
        connection.send(message.createReply());
        if (trace_.Enabled()) {
            trace_.Write("sni context-menu");
        }
        if (onContextMenu) {
            onContextMenu(QPoint(args[0].toInt(), args[1].toInt()));
        }
        return true;
    }
    if (member == QLatin1String("SecondaryActivate") || member == QLatin1String("Scroll") ||
        member == QLatin1String("ProvideXdgActivationToken")) {
        connection.send(message.createReply());
        return true;
    }
    return false;
}

}  // namespace ww::platform
