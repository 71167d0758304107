// A StatusNotifierWatcher and host of our own, for the end-to-end tests and
// the benchmark, on the bus at --address.
//
//   wakewatch_sni_host serve --address A --log FILE [--watcher-after MS] [--host-after MS]
//     Takes the watcher's name after MS, registers a host after MS (both from
//     start). Logs, as "<ms> <event> <fields>" lines: "watcher up", "host up",
//     "item registered" for every registration, and, while the host is up,
//     "item props" read from each newly registered item, "tooltip" and "icon"
//     after NewToolTip and NewIcon.
//   wakewatch_sni_host call --address A props|menu|activate|click ID|context-menu X Y
//     Acts on the first registered item; prints what it read in the same form.
#include <unistd.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "platform/linux/tray/sni/DBusSignalRelay.h"
#include "platform/linux/tray/sni/SniTypes.h"

namespace {

using ww::platform::DbusMenuLayout;
using ww::platform::DBusSignalRelay;
using ww::platform::SniPixmaps;
using ww::platform::SniToolTip;

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItem = QStringLiteral("org.kde.StatusNotifierItem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QString Quote(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\') {
            quoted += u'\\';
        }
        quoted += c;
    }
    return quoted + u'"';
}

// FNV-1a over every size's bytes, and the sizes.
QString Describe(const SniPixmaps& pixmaps) {
    quint64 hash = 1469598103934665603ULL;
    QStringList sizes;
    for (const auto& p : pixmaps) {
        sizes << QStringLiteral("%1x%2").arg(p.width).arg(p.height);
        for (char b : p.bytes) {
            hash = (hash ^ static_cast<unsigned char>(b)) * 1099511628211ULL;
        }
    }
    return QStringLiteral("icon=%1 sizes=%2").arg(hash, 0, 16).arg(sizes.join(u','));
}

QVariant Unwrap(const QVariant& value) {
    return value.canConvert<QDBusVariant>() ? qvariant_cast<QDBusVariant>(value).variant() : value;
}

QString DescribeItem(const QVariantMap& all) {
    const auto tip = qdbus_cast<SniToolTip>(all.value("ToolTip"));
    return QStringLiteral("id=%1 title=%2 category=%3 status=%4 tip=%5 menu=%6 ")
               .arg(Quote(all.value("Id").toString()), Quote(all.value("Title").toString()),
                    Quote(all.value("Category").toString()), Quote(all.value("Status").toString()),
                    Quote(tip.title),
                    Quote(qvariant_cast<QDBusObjectPath>(all.value("Menu")).path())) +
           Describe(qdbus_cast<SniPixmaps>(all.value("IconPixmap")));
}

class Log {
  public:
    explicit Log(const QString& path) : file_(path) {
        if (path.isEmpty()) {
            file_.open(stdout, QIODevice::WriteOnly);
        } else {
            file_.open(QIODevice::WriteOnly | QIODevice::Append);
        }
        clock_.start();
    }
    void Write(const QString& line) {
        file_.write(QStringLiteral("%1 %2\n").arg(clock_.elapsed()).arg(line).toUtf8());
        file_.flush();
    }

  private:
    QFile file_;
    QElapsedTimer clock_;
};

// The watcher and the host in one.
class Watcher final : public QDBusVirtualObject {
  public:
    Watcher(QDBusConnection bus, Log& log)
        : bus_(bus), log_(log), relay_([this](const QDBusMessage& m) { OnItemSignal(m); }) {}

    void Up() {
        bus_.registerVirtualObject(kWatcherPath, this);
        bus_.registerService(kWatcher);
        log_.Write("watcher up");
    }
    void HostUp() {
        bus_.registerService(QStringLiteral("org.kde.StatusNotifierHost-%1").arg(::getpid()));
        host_ = true;
        bus_.send(
            QDBusMessage::createSignal(kWatcherPath, kWatcher, "StatusNotifierHostRegistered"));
        log_.Write("host up");
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QString member = message.member();
        if (message.interface() == kProperties) {
            QVariantMap all;
            all.insert("RegisteredStatusNotifierItems", items_);
            all.insert("IsStatusNotifierHostRegistered", host_);
            all.insert("ProtocolVersion", 0);
            if (member == QLatin1String("GetAll")) {
                bus_.send(message.createReply(all));
            } else {
                const QString name = message.arguments().value(1).toString();
                bus_.send(message.createReply(QVariant::fromValue(QDBusVariant(all.value(name)))));
            }
            return true;
        }
        if (member == QLatin1String("RegisterStatusNotifierItem")) {
            const QString service = message.arguments().value(0).toString();
            bus_.send(message.createReply());
            Registered(service, message.service());
            return true;
        }
        if (member == QLatin1String("RegisterStatusNotifierHost")) {
            bus_.send(message.createReply());
            return true;
        }
        return false;
    }

  private:
    void Registered(const QString& service, const QString& sender) {
        if (!items_.contains(service)) {
            items_.push_back(service);
            auto* gone = new QDBusServiceWatcher(service, bus_,
                                                 QDBusServiceWatcher::WatchForUnregistration, this);
            QObject::connect(gone, &QDBusServiceWatcher::serviceUnregistered, this,
                             [this, gone](const QString& name) {
                                 items_.removeAll(name);
                                 log_.Write("item gone service=" + Quote(name));
                                 gone->deleteLater();
                             });
            for (const char* signal : {"NewToolTip", "NewIcon"}) {
                relay_.Listen(bus_, service, "/StatusNotifierItem", kItem,
                              QString::fromLatin1(signal));
            }
        }
        log_.Write("item registered service=" + Quote(service) + " sender=" + Quote(sender));
        bus_.send(QDBusMessage::createSignal(kWatcherPath, kWatcher, "StatusNotifierItemRegistered")
                  << service);
        if (host_) {
            QDBusMessage get = QDBusMessage::createMethodCall(service, "/StatusNotifierItem",
                                                              kProperties, "GetAll");
            get << kItem;
            const QDBusMessage reply = bus_.call(get, QDBus::Block, 5000);
            const QVariantMap all = qdbus_cast<QVariantMap>(reply.arguments().value(0));
            log_.Write("item props service=" + Quote(service) + " " + DescribeItem(all));
        }
    }

    void OnItemSignal(const QDBusMessage& signal) {
        if (!host_) {
            return;
        }
        const bool tip = signal.member() == QLatin1String("NewToolTip");
        QDBusMessage get = QDBusMessage::createMethodCall(signal.service(), "/StatusNotifierItem",
                                                          kProperties, "Get");
        get << kItem << (tip ? QStringLiteral("ToolTip") : QStringLiteral("IconPixmap"));
        const QVariant value = Unwrap(bus_.call(get, QDBus::Block, 5000).arguments().value(0));
        if (tip) {
            log_.Write("tooltip tip=" + Quote(qdbus_cast<SniToolTip>(value).title));
        } else {
            log_.Write("icon " + Describe(qdbus_cast<SniPixmaps>(value)));
        }
    }

    QDBusConnection bus_;
    Log& log_;
    DBusSignalRelay relay_;
    QStringList items_;
    bool host_ = false;
};

QString Argument(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const auto at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

int Serve(QDBusConnection bus, const QStringList& args) {
    static Log log(Argument(args, "--log"));
    static Watcher watcher(bus, log);
    const int watcherAfter = Argument(args, "--watcher-after", "0").toInt();
    const int hostAfter = std::max(watcherAfter, Argument(args, "--host-after", "0").toInt());
    if (hostAfter == watcherAfter) {
        // One step: the watcher answers "host registered" from its first look.
        QTimer::singleShot(watcherAfter, [] {
            watcher.HostUp();
            watcher.Up();
        });
    } else {
        QTimer::singleShot(watcherAfter, [] { watcher.Up(); });
        QTimer::singleShot(hostAfter, [] { watcher.HostUp(); });
    }
    return QCoreApplication::exec();
}

void PrintLayout(Log& out, const DbusMenuLayout& layout) {
    for (const DbusMenuLayout& child : layout.children) {
        QString line = QStringLiteral("entry id=%1").arg(child.id);
        for (auto it = child.properties.begin(); it != child.properties.end(); ++it) {
            line += QStringLiteral(" %1=%2").arg(it.key(), Quote(Unwrap(it.value()).toString()));
        }
        out.Write(line);
    }
}

int Call(QDBusConnection bus, const QStringList& args) {
    Log out{QString()};
    QDBusMessage ask = QDBusMessage::createMethodCall(kWatcher, kWatcherPath, kProperties, "Get");
    ask << kWatcher << QStringLiteral("RegisteredStatusNotifierItems");
    const QStringList items =
        Unwrap(bus.call(ask, QDBus::Block, 5000).arguments().value(0)).toStringList();
    if (items.isEmpty()) {
        out.Write("no-item");
        return 2;
    }
    const QString service = items.front();
    const QString command = args.value(2);
    const auto item = [&](const QString& interface, const QString& member, const QString& path) {
        return QDBusMessage::createMethodCall(service, path, interface, member);
    };
    QDBusMessage reply;
    if (command == QLatin1String("props")) {
        QDBusMessage get = item(kProperties, "GetAll", "/StatusNotifierItem");
        get << kItem;
        reply = bus.call(get, QDBus::Block, 5000);
        out.Write("item " + DescribeItem(qdbus_cast<QVariantMap>(reply.arguments().value(0))));
    } else if (command == QLatin1String("menu")) {
        QDBusMessage get = item(kProperties, "Get", "/StatusNotifierItem");
        get << kItem << QStringLiteral("Menu");
        const QString path =
            qvariant_cast<QDBusObjectPath>(Unwrap(bus.call(get).arguments().value(0))).path();
        const QString menu = QStringLiteral("com.canonical.dbusmenu");
        QDBusMessage opening = item(menu, "AboutToShow", path);
        opening << 0;
        bus.call(opening, QDBus::Block, 5000);
        QDBusMessage layout = item(menu, "GetLayout", path);
        layout << 0 << -1 << QStringList();
        reply = bus.call(layout, QDBus::Block, 5000);
        PrintLayout(out, qdbus_cast<DbusMenuLayout>(reply.arguments().value(1)));
    } else if (command == QLatin1String("click")) {
        QDBusMessage get = item(kProperties, "Get", "/StatusNotifierItem");
        get << kItem << QStringLiteral("Menu");
        const QString path =
            qvariant_cast<QDBusObjectPath>(Unwrap(bus.call(get).arguments().value(0))).path();
        QDBusMessage event = item("com.canonical.dbusmenu", "Event", path);
        event << args.value(3).toInt() << QStringLiteral("clicked")
              << QVariant::fromValue(QDBusVariant(0)) << 0U;
        reply = bus.call(event, QDBus::Block, 5000);
    } else if (command == QLatin1String("activate") || command == QLatin1String("context-menu")) {
        QDBusMessage call =
            item(kItem, command == QLatin1String("activate") ? "Activate" : "ContextMenu",
                 "/StatusNotifierItem");
        call << args.value(3, "0").toInt() << args.value(4, "0").toInt();
        reply = bus.call(call, QDBus::Block, 5000);
    } else {
        out.Write("unknown-command");
        return 2;
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        out.Write("error name=" + Quote(reply.errorName()) +
                  " text=" + Quote(reply.errorMessage()));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ww::platform::RegisterSniTypes();
    const QStringList args = QCoreApplication::arguments();
    QDBusConnection bus = QDBusConnection::connectToBus(Argument(args, "--address"), "bus");
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no bus at %s\n", qPrintable(Argument(args, "--address")));
        return 2;
    }
    if (args.value(1) == QLatin1String("serve")) {
        return Serve(bus, args);
    }
    return Call(bus, args);
}
