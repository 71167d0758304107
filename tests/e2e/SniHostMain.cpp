// A StatusNotifierWatcher and host of our own, for the end-to-end tests and
// the benchmark, on the bus at --address. The watcher is served, and the
// item and menu are called, through the adaptor and proxies QtDBus generates
// from the interface XML in platform/linux/tray/sni.
//
//   wakewatch_sni_host serve --address A --log FILE [--watcher-after MS] [--host-after MS]
//                            [--drop N [--drop-silently]] [--refetch-all]
//     Takes the watcher's name after MS, registers a host after MS (both from
//     start). Logs, as "<ms> <event> <fields>" lines: "watcher up", "host up",
//     "item registered" for every registration, and, while the host is up,
//     "item props" read from each newly registered item, "tooltip" and "icon"
//     after NewToolTip and NewIcon, "menu updated" for each entry an
//     ItemsPropertiesUpdated names. --drop forgets the first N registrations
//     800 ms after each ("item dropped"), announced unless --drop-silently;
//     --refetch-all reads every property after every signal of the item.
//   wakewatch_sni_host call --address A props|menu|layout|activate|click ID|context-menu X Y
//     Acts on the first registered item (or on the item of --service NAME,
//     registered or not); prints what it read in the same form ("layout":
//     the menu as it is, without AboutToShow first).
//   wakewatch_sni_host call --address A raw item|menu item|menu|properties MEMBER [ARG...]
//     Calls MEMBER of the item's or the menu's interface (or of
//     org.freedesktop.DBus.Properties) on that object with these arguments,
//     in any signature: each ARG is a D-Bus type with an optional value,
//     "i", "s=Id", "ai=0,1,2", "ai=3*520000" (that many threes),
//     "as=label*2000", "a(isvu)=99*1025" (that many clicks on item 99), "a(isv)".
//     Prints "reply signature=S counts=N,..." (the length of every array
//     answered, "-" for the rest) or the error.
#include <unistd.h>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "SniHostItemProxy.h"
#include "SniHostMenuProxy.h"
#include "SniHostWatcherAdaptor.h"
#include "SniHostWatcherProxy.h"
#include "platform/linux/tray/sni/SniTypes.h"
#include "tests/e2e/SniHostWatcher.h"

namespace {

using ww::e2e::HostLog;
using ww::e2e::SniHostWatcher;
using ww::platform::DbusMenuEvent;
using ww::platform::DbusMenuEvents;
using ww::platform::DbusMenuLayout;
using ww::platform::SniPixmaps;
using ww::platform::SniToolTip;

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kTimeoutMs = 5000;

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
    return QStringLiteral("id=%1 title=%2 category=%3 status=%4 tip=%5 menu=%6 names=%7 ")
               .arg(Quote(all.value("Id").toString()), Quote(all.value("Title").toString()),
                    Quote(all.value("Category").toString()), Quote(all.value("Status").toString()),
                    Quote(tip.title),
                    Quote(qvariant_cast<QDBusObjectPath>(all.value("Menu")).path()),
                    QStringList(all.keys()).join(u',')) +
           Describe(qdbus_cast<SniPixmaps>(all.value("IconPixmap")));
}

QString DescribeEntry(int id, const QVariantMap& properties) {
    QString line = QStringLiteral("id=%1").arg(id);
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        line += QStringLiteral(" %1=%2").arg(it.key(), Quote(Unwrap(it.value()).toString()));
    }
    return line;
}

// The item's properties all at once: the generated proxy reads them one by one.
QVariantMap AllProperties(const QDBusConnection& bus, const QString& service) {
    QDBusMessage get = QDBusMessage::createMethodCall(service, kItemPath, kProperties, "GetAll");
    get << QString::fromLatin1(SniHostItemProxy::staticInterfaceName());
    const QDBusMessage reply = bus.call(get, QDBus::Block, kTimeoutMs);
    return qdbus_cast<QVariantMap>(reply.arguments().value(0));
}

}  // namespace

namespace ww::e2e {

HostLog::HostLog(const QString& path) : file_(path) {
    if (path.isEmpty()) {
        file_.open(stdout, QIODevice::WriteOnly);
    } else {
        file_.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    clock_.start();
}

void HostLog::Write(const QString& line) {
    file_.write(QStringLiteral("%1 %2\n").arg(clock_.elapsed()).arg(line).toUtf8());
    file_.flush();
}

SniHostWatcher::SniHostWatcher(QDBusConnection bus, HostLog& log) : bus_(bus), log_(log) {
    new SniHostWatcherAdaptor(this);
}

void SniHostWatcher::Up() {
    bus_.registerObject(kWatcherPath, this);
    bus_.registerService(kWatcher);
    log_.Write("watcher up");
}

void SniHostWatcher::HostUp() {
    bus_.registerService(QStringLiteral("org.kde.StatusNotifierHost-%1").arg(::getpid()));
    host_ = true;
    emit StatusNotifierHostRegistered();
    log_.Write("host up");
}

void SniHostWatcher::RegisterStatusNotifierItem(const QString& service) {
    // Answered at once, as a panel does, before the item is read.
    setDelayedReply(true);
    connection().send(message().createReply());
    Registered(service, message().service());
}

void SniHostWatcher::Registered(const QString& service, const QString& sender) {
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
        if (!followed_.contains(service)) {
            auto* item = new SniHostItemProxy(service, kItemPath, bus_, this);
            item->setTimeout(kTimeoutMs);
            followed_.insert(service, item);
            QObject::connect(item, &SniHostItemProxy::NewToolTip, this,
                             [this, item] { OnItemSignal(*item, true); });
            QObject::connect(item, &SniHostItemProxy::NewIcon, this,
                             [this, item] { OnItemSignal(*item, false); });
            FollowMenu(*item);
        }
    }
    log_.Write("item registered service=" + Quote(service) + " sender=" + Quote(sender));
    emit StatusNotifierItemRegistered(service);
    if (host_) {
        log_.Write("item props service=" + Quote(service) + " " +
                   DescribeItem(AllProperties(bus_, service)));
    }
    if (drops_ > 0) {
        --drops_;
        QTimer::singleShot(800, this, [this, service] { Drop(service); });
    }
}

void SniHostWatcher::Drop(const QString& service) {
    if (!items_.removeAll(service)) {
        return;
    }
    log_.Write("item dropped service=" + Quote(service));
    if (!dropSilently_) {
        emit StatusNotifierItemUnregistered(service);
    }
}

void SniHostWatcher::FollowMenu(SniHostItemProxy& item) {
    const QString path = item.menu().path();
    if (path.isEmpty() || path == QLatin1String("/")) {
        return;
    }
    // As messages: the generated proxy's ItemsPropertiesUpdated, with
    // argument types of our own, did not reach its connections here.
    const QString menu = QString::fromLatin1(SniHostMenuProxy::staticInterfaceName());
    bus_.connect(item.service(), path, menu, QStringLiteral("ItemsPropertiesUpdated"), this,
                 SLOT(MenuUpdated(QDBusMessage)));
    bus_.connect(item.service(), path, menu, QStringLiteral("LayoutUpdated"), this,
                 SLOT(MenuLaidOut(QDBusMessage)));
}

void SniHostWatcher::MenuUpdated(const QDBusMessage& message) {
    for (const auto& entry :
         qdbus_cast<ww::platform::DbusMenuItems>(message.arguments().value(0))) {
        log_.Write("menu updated " + DescribeEntry(entry.id, entry.properties));
    }
}

void SniHostWatcher::MenuLaidOut(const QDBusMessage& message) {
    log_.Write(QStringLiteral("menu layout revision=%1 parent=%2")
                   .arg(message.arguments().value(0).toUInt())
                   .arg(message.arguments().value(1).toInt()));
}

void SniHostWatcher::OnItemSignal(SniHostItemProxy& item, bool tip) {
    if (!host_) {
        return;
    }
    if (refetchAll_) {
        const QVariantMap all = AllProperties(bus_, item.service());
        log_.Write(QStringLiteral("%1 %2").arg(
            tip ? "tooltip" : "icon",
            tip ? "tip=" + Quote(qdbus_cast<SniToolTip>(all.value("ToolTip")).title)
                : Describe(qdbus_cast<SniPixmaps>(all.value("IconPixmap")))));
        return;
    }
    if (tip) {
        log_.Write("tooltip tip=" + Quote(item.toolTip().title));
    } else {
        log_.Write("icon " + Describe(item.iconPixmap()));
    }
}

}  // namespace ww::e2e

namespace {

// The argument shapes the raw command can send that no type of ours has.
struct PairII {
    int a = 3;
    int b = 3;
};
struct OneI {
    int a = 3;
};
struct ISV {
    int id = 3;
    QString eventId = QStringLiteral("clicked");
    QDBusVariant data{0};
};
struct SISU {
    QString s = QStringLiteral("x");
    int id = 3;
    QString eventId = QStringLiteral("clicked");
    uint timestamp = 0;
};

}  // namespace

Q_DECLARE_METATYPE(PairII)
Q_DECLARE_METATYPE(OneI)
Q_DECLARE_METATYPE(ISV)
Q_DECLARE_METATYPE(SISU)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const PairII& v) {
    out.beginStructure();
    out << v.a << v.b;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, PairII& v) {
    in.beginStructure();
    in >> v.a >> v.b;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const OneI& v) {
    out.beginStructure();
    out << v.a;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, OneI& v) {
    in.beginStructure();
    in >> v.a;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const ISV& v) {
    out.beginStructure();
    out << v.id << v.eventId << v.data;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, ISV& v) {
    in.beginStructure();
    in >> v.id >> v.eventId >> v.data;
    in.endStructure();
    return in;
}
QDBusArgument& operator<<(QDBusArgument& out, const SISU& v) {
    out.beginStructure();
    out << v.s << v.id << v.eventId << v.timestamp;
    out.endStructure();
    return out;
}
const QDBusArgument& operator>>(const QDBusArgument& in, SISU& v) {
    in.beginStructure();
    in >> v.s >> v.id >> v.eventId >> v.timestamp;
    in.endStructure();
    return in;
}

void RegisterRawTypes() {
    qDBusRegisterMetaType<PairII>();
    qDBusRegisterMetaType<QList<PairII>>();
    qDBusRegisterMetaType<OneI>();
    qDBusRegisterMetaType<QList<OneI>>();
    qDBusRegisterMetaType<ISV>();
    qDBusRegisterMetaType<QList<ISV>>();
    qDBusRegisterMetaType<SISU>();
    qDBusRegisterMetaType<QList<SISU>>();
    qDBusRegisterMetaType<QList<QList<int>>>();
    qDBusRegisterMetaType<QMap<int, int>>();
}

// "3*520000": 520,000 threes; "0,1,2": those; "": one `fallback`.
QStringList Values(const QString& value, const QString& fallback) {
    if (value.isEmpty()) {
        return {fallback};
    }
    if (value.contains(u'*')) {
        QStringList values;
        values.fill(value.section(u'*', 0, 0), value.section(u'*', 1, 1).toInt());
        return values;
    }
    return value.split(u',');
}

QList<int> Ints(const QString& value) {
    QList<int> ints;
    for (const QString& one : Values(value, QStringLiteral("3"))) {
        ints.push_back(one.toInt());
    }
    return ints;
}

// One argument of a raw call; invalid for a shape it cannot send.
QVariant Sample(const QString& spec) {
    const QString type = spec.section(u'=', 0, 0);
    const bool given = spec.contains(u'=');
    const QString value = spec.section(u'=', 1);
    if (type == "i") {
        return given ? value.toInt() : 3;
    }
    if (type == "u") {
        return given ? value.toUInt() : 0U;
    }
    if (type == "s") {
        return given ? value : QStringLiteral("clicked");
    }
    if (type == "b") {
        return value == "true";
    }
    if (type == "v") {
        return QVariant::fromValue(QDBusVariant(given ? value.toInt() : 0));
    }
    if (type == "o") {
        return QVariant::fromValue(QDBusObjectPath(given ? value : QStringLiteral("/")));
    }
    if (type == "ay") {
        return QByteArray("x");
    }
    if (type == "as") {
        return given && value.isEmpty() ? QStringList() : Values(value, QStringLiteral("label"));
    }
    if (type == "ai") {
        return QVariant::fromValue(given && value.isEmpty() ? QList<int>() : Ints(value));
    }
    if (type == "aai") {
        return QVariant::fromValue(QList<QList<int>>{{3}});
    }
    if (type == "a{ii}") {
        return QVariant::fromValue(QMap<int, int>{{3, 3}});
    }
    if (type == "a{sv}") {
        return QVariantMap{{QStringLiteral("label"), 0}};
    }
    if (type == "(ii)") {
        return QVariant::fromValue(PairII{});
    }
    if (type == "a(ii)") {
        return QVariant::fromValue(QList<PairII>{{}});
    }
    if (type == "a(i)") {
        return QVariant::fromValue(QList<OneI>{{}});
    }
    if (type == "a(isv)") {
        return QVariant::fromValue(QList<ISV>{{}});
    }
    if (type == "a(sisu)") {
        return QVariant::fromValue(QList<SISU>{{}});
    }
    const DbusMenuEvent event{3, QStringLiteral("clicked"), QDBusVariant(0), 0};
    if (type == "(isvu)") {
        return QVariant::fromValue(event);
    }
    if (type == "a(isvu)") {
        DbusMenuEvents events;
        for (int id : Ints(value)) {
            events.push_back(DbusMenuEvent{id, event.eventId, event.data, event.timestamp});
        }
        return QVariant::fromValue(events);
    }
    return {};
}

QString Count(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QStringList>()) {
        return QString::number(value.toStringList().size());
    }
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) {
        return QStringLiteral("-");
    }
    const QDBusArgument argument = qvariant_cast<QDBusArgument>(value);
    if (argument.currentType() != QDBusArgument::ArrayType) {
        return QStringLiteral("-");
    }
    int count = 0;
    argument.beginArray();
    while (!argument.atEnd()) {
        argument.asVariant();
        ++count;
    }
    argument.endArray();
    return QString::number(count);
}

QString Argument(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const auto at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

int Serve(QDBusConnection bus, const QStringList& args) {
    static HostLog log(Argument(args, "--log"));
    static SniHostWatcher watcher(bus, log);
    watcher.DropRegistrations(Argument(args, "--drop", "0").toInt(),
                              args.contains(QStringLiteral("--drop-silently")));
    watcher.RefetchAll(args.contains(QStringLiteral("--refetch-all")));
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

void PrintLayout(HostLog& out, const DbusMenuLayout& layout) {
    for (const DbusMenuLayout& child : layout.children) {
        out.Write("entry " + DescribeEntry(child.id, child.properties));
    }
}

// The arguments after "call" and the command, with --address, --service and
// their values left out.
QStringList Operands(const QStringList& args) {
    QStringList operands;
    for (qsizetype i = 3; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--address") || args[i] == QLatin1String("--service")) {
            ++i;
        } else {
            operands.push_back(args[i]);
        }
    }
    return operands;
}

int Call(QDBusConnection bus, const QStringList& args) {
    HostLog out{QString()};
    SniHostWatcherProxy watcher(kWatcher, kWatcherPath, bus);
    watcher.setTimeout(kTimeoutMs);
    const QStringList items = args.contains(QStringLiteral("--service"))
                                  ? QStringList{Argument(args, "--service")}
                                  : watcher.registeredStatusNotifierItems();
    if (items.isEmpty()) {
        out.Write("no-item");
        return 2;
    }
    // Some watchers (xfce4-panel's) list an item as "<service><object path>".
    const QString entry = items.front();
    const qsizetype slash = entry.indexOf(u'/');
    const QString service = slash < 0 ? entry : entry.left(slash);
    const QString itemPath = slash < 0 ? kItemPath : entry.mid(slash);
    const QString command = args.value(2);
    const QStringList operands = Operands(args);
    SniHostItemProxy item(service, itemPath, bus);
    item.setTimeout(kTimeoutMs);
    const auto menu = [&] {
        auto proxy = std::make_unique<SniHostMenuProxy>(service, item.menu().path(), bus);
        proxy->setTimeout(kTimeoutMs);
        return proxy;
    };
    const auto wait = [](QDBusPendingCall call) {
        call.waitForFinished();
        return call.reply();
    };
    QDBusMessage reply;
    if (command == QLatin1String("props")) {
        QDBusMessage get = QDBusMessage::createMethodCall(service, itemPath, kProperties, "GetAll");
        get << QString::fromLatin1(SniHostItemProxy::staticInterfaceName());
        reply = bus.call(get, QDBus::Block, kTimeoutMs);
        out.Write("item " + DescribeItem(qdbus_cast<QVariantMap>(reply.arguments().value(0))));
    } else if (command == QLatin1String("menu") || command == QLatin1String("layout")) {
        const auto dbusmenu = menu();
        if (command == QLatin1String("menu")) {
            wait(dbusmenu->AboutToShow(0));
        }
        QDBusPendingReply<uint, DbusMenuLayout> layout = dbusmenu->GetLayout(0, -1, {});
        reply = wait(layout);
        if (layout.isValid()) {
            PrintLayout(out, layout.argumentAt<1>());
        }
    } else if (command == QLatin1String("click")) {
        reply = wait(menu()->Event(operands.value(0).toInt(), QStringLiteral("clicked"),
                                   QDBusVariant(0), 0U));
    } else if (command == QLatin1String("activate")) {
        reply = wait(item.Activate(operands.value(0, "0").toInt(), operands.value(1, "0").toInt()));
    } else if (command == QLatin1String("context-menu")) {
        reply =
            wait(item.ContextMenu(operands.value(0, "0").toInt(), operands.value(1, "0").toInt()));
    } else if (command == QLatin1String("raw")) {
        const QString path =
            operands.value(0) == QLatin1String("menu") ? item.menu().path() : itemPath;
        const QString kind = operands.value(1);
        const QString interface = kind == QLatin1String("menu")
                                      ? QString::fromLatin1(SniHostMenuProxy::staticInterfaceName())
                                  : kind == QLatin1String("item")
                                      ? QString::fromLatin1(SniHostItemProxy::staticInterfaceName())
                                      : kProperties;
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, path, interface, operands.value(2));
        for (const QString& spec : operands.mid(3)) {
            const QVariant argument = Sample(spec);
            if (!argument.isValid()) {
                out.Write("unknown-argument " + Quote(spec));
                return 2;
            }
            call << argument;
        }
        reply = bus.call(call, QDBus::Block, kTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            QStringList counts;
            for (const QVariant& answer : reply.arguments()) {
                counts << Count(answer);
            }
            out.Write("reply signature=" + Quote(reply.signature()) +
                      " counts=" + counts.join(u','));
        }
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
    RegisterRawTypes();
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
