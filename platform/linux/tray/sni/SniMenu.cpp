#include "platform/linux/tray/sni/SniMenu.h"

#include <QDBusMessage>
#include <QDBusMetaType>

namespace ww::platform {
namespace {

const QString kInterface = QStringLiteral("com.canonical.dbusmenu");
const QString kPath = QStringLiteral("/MenuBar");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

const char* const kIntrospection = R"xml(  <interface name="com.canonical.dbusmenu">
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
    <method name="GetLayout"><arg type="i" name="parentId" direction="in"/><arg type="i" name="recursionDepth" direction="in"/><arg type="as" name="propertyNames" direction="in"/><arg type="u" name="revision" direction="out"/><arg type="(ia{sv}av)" name="layout" direction="out"/></method>
    <method name="GetGroupProperties"><arg type="ai" name="ids" direction="in"/><arg type="as" name="propertyNames" direction="in"/><arg type="a(ia{sv})" name="properties" direction="out"/></method>
    <method name="GetProperty"><arg type="i" name="id" direction="in"/><arg type="s" name="name" direction="in"/><arg type="v" name="value" direction="out"/></method>
    <method name="Event"><arg type="i" name="id" direction="in"/><arg type="s" name="eventId" direction="in"/><arg type="v" name="data" direction="in"/><arg type="u" name="timestamp" direction="in"/></method>
    <method name="EventGroup"><arg type="a(isvu)" name="events" direction="in"/><arg type="ai" name="idErrors" direction="out"/></method>
    <method name="AboutToShow"><arg type="i" name="id" direction="in"/><arg type="b" name="needUpdate" direction="out"/></method>
    <method name="AboutToShowGroup"><arg type="ai" name="ids" direction="in"/><arg type="ai" name="updatesNeeded" direction="out"/><arg type="ai" name="idErrors" direction="out"/></method>
    <signal name="ItemsPropertiesUpdated"><arg type="a(ia{sv})" name="updatedProps"/><arg type="a(ias)" name="removedProps"/></signal>
    <signal name="LayoutUpdated"><arg type="u" name="revision"/><arg type="i" name="parent"/></signal>
    <signal name="ItemActivationRequested"><arg type="i" name="id"/><arg type="u" name="timestamp"/></signal>
  </interface>
)xml";

QVariantMap Only(const QVariantMap& properties, const QStringList& names) {
    if (names.isEmpty()) {
        return properties;
    }
    QVariantMap chosen;
    for (const QString& name : names) {
        const auto found = properties.find(name);
        if (found != properties.end()) {
            chosen.insert(name, found.value());
        }
    }
    return chosen;
}

QList<int> Ids(const QVariant& argument) {
    return qdbus_cast<QList<int>>(argument);
}

}  // namespace

SniMenu::SniMenu(Trace& trace) : trace_(trace) {
    RegisterSniTypes();
}

QString SniMenu::Label(const QString& caption) {
    QString label;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') {
                label += u'&';
                ++i;
            } else {
                label += u'_';
            }
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

QVariantMap SniMenu::Properties(const SniMenuEntry& entry) {
    QVariantMap properties;
    if (entry.separator) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), Label(entry.caption));
    properties.insert(QStringLiteral("enabled"), entry.enabled);
    if (entry.check) {
        properties.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), entry.checked ? 1 : 0);
    }
    return properties;
}

void SniMenu::Rebuilt() {
    published_.clear();
    ++revision_;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, "LayoutUpdated");
        signal << revision_ << 0;
        bus.send(signal);
    }
}

bool SniMenu::Publish(const QDBusConnection& connection, bool announce) {
    std::vector<QVariantMap> now;
    if (entries) {
        for (const SniMenuEntry& entry : entries()) {
            now.push_back(Properties(entry));
        }
    }
    DbusMenuItems updated;
    DbusMenuItemKeysList removed;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const int id = static_cast<int>(i) + 1;
        if (i >= published_.size()) {
            continue;  // a host that never saw it asks for the layout
        }
        if (now[i] != published_[i]) {
            updated.push_back(DbusMenuItem{id, now[i]});
            QStringList gone;
            for (auto it = published_[i].begin(); it != published_[i].end(); ++it) {
                if (!now[i].contains(it.key())) {
                    gone.push_back(it.key());
                }
            }
            if (!gone.isEmpty()) {
                removed.push_back(DbusMenuItemKeys{id, gone});
            }
        }
    }
    const bool changed = now.size() != published_.size() || !updated.isEmpty();
    published_ = std::move(now);
    if (announce && (!updated.isEmpty() || !removed.isEmpty())) {
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, "ItemsPropertiesUpdated");
        signal << QVariant::fromValue(updated) << QVariant::fromValue(removed);
        connection.send(signal);
    }
    return changed;
}

void SniMenu::Opening() {
    open_ = true;
    if (onOpening) {
        onOpening();
    }
}

bool SniMenu::Known(int id) const {
    return id >= 0 && static_cast<std::size_t>(id) <= published_.size();
}

DbusMenuLayout SniMenu::Layout(int id) {
    DbusMenuLayout layout;
    layout.id = id;
    if (id == 0) {
        layout.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        for (std::size_t i = 0; i < published_.size(); ++i) {
            layout.children.push_back(DbusMenuLayout{static_cast<int>(i) + 1, published_[i], {}});
        }
    } else {
        layout.properties = published_[static_cast<std::size_t>(id) - 1];
    }
    return layout;
}

bool SniMenu::Event(const QDBusConnection& connection, int id, const QString& eventId) {
    if (!Known(id)) {
        return false;
    }
    if (trace_.Enabled()) {
        trace_.Write("sni menu event " + std::to_string(id) + " " +
                     Trace::Quote(eventId.toStdString()));
    }
    if (id == 0) {
        if (eventId == QLatin1String("opened")) {
            Opening();
            Publish(connection, true);
        } else if (eventId == QLatin1String("closed")) {
            open_ = false;
        }
        return true;
    }
    if (eventId != QLatin1String("clicked")) {
        return true;
    }
    // A host that skipped AboutToShow: the states are decided as if the menu
    // had opened, so the command sees what the user saw as well as can be.
    if (!open_) {
        Opening();
    }
    const auto index = static_cast<std::size_t>(id) - 1;
    const auto now = entries ? entries() : std::vector<SniMenuEntry>{};
    if (index < now.size() && !now[index].separator && now[index].enabled && onClicked) {
        open_ = false;  // the choice closes the menu
        onClicked(index);
    }
    return true;
}

QString SniMenu::introspect(const QString&) const {
    return QString::fromLatin1(kIntrospection);
}

bool SniMenu::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const QString member = message.member();
    const QList<QVariant> args = message.arguments();
    if (published_.empty()) {
        Publish(connection, false);
    }
    if (message.interface() == kProperties) {
        QVariantMap all;
        all.insert(QStringLiteral("Version"), 3U);
        all.insert(QStringLiteral("TextDirection"), QStringLiteral("ltr"));
        all.insert(QStringLiteral("Status"), QStringLiteral("normal"));
        all.insert(QStringLiteral("IconThemePath"), QStringList());
        if (member == QLatin1String("GetAll")) {
            connection.send(message.createReply(all));
        } else if (member == QLatin1String("Get") && args.size() == 2 &&
                   all.contains(args[1].toString())) {
            connection.send(
                message.createReply(QVariant::fromValue(QDBusVariant(all[args[1].toString()]))));
        } else {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "No such property"));
        }
        return true;
    }
    if (member == QLatin1String("GetLayout") && args.size() == 3) {
        const int id = args[0].toInt();
        if (!Known(id)) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "No such item"));
            return true;
        }
        DbusMenuLayout layout = Layout(id);
        const QStringList names = args[2].toStringList();
        layout.properties = Only(layout.properties, names);
        for (DbusMenuLayout& child : layout.children) {
            child.properties = Only(child.properties, names);
        }
        if (args[1].toInt() == 0) {
            layout.children.clear();
        }
        QDBusMessage reply = message.createReply();
        reply << revision_ << QVariant::fromValue(layout);
        connection.send(reply);
        return true;
    }
    if (member == QLatin1String("GetGroupProperties") && args.size() == 2) {
        QList<int> ids = Ids(args[0]);
        if (ids.isEmpty()) {
            for (std::size_t i = 0; i < published_.size(); ++i) {
                ids.push_back(static_cast<int>(i) + 1);
            }
        }
        DbusMenuItems items;
        for (int id : ids) {
            if (Known(id)) {
                items.push_back(
                    DbusMenuItem{id, Only(Layout(id).properties, args[1].toStringList())});
            }
        }
        connection.send(message.createReply(QVariant::fromValue(items)));
        return true;
    }
    if (member == QLatin1String("GetProperty") && args.size() == 2) {
        const int id = args[0].toInt();
        const QVariantMap properties = Known(id) ? Layout(id).properties : QVariantMap();
        const auto found = properties.find(args[1].toString());
        if (found == properties.end()) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "No such property"));
        } else {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(found.value()))));
        }
        return true;
    }
    if (member == QLatin1String("Event") && args.size() == 4) {
        if (Known(args[0].toInt())) {
            connection.send(message.createReply());
        } else {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "No such item"));
        }
        Event(connection, args[0].toInt(), args[1].toString());
        return true;
    }
    if (member == QLatin1String("EventGroup") && args.size() == 1) {
        const auto events = qdbus_cast<DbusMenuEvents>(args[0]);
        QList<int> errors;
        for (const DbusMenuEvent& event : events) {
            if (!Known(event.id)) {
                errors.push_back(event.id);
            }
        }
        connection.send(message.createReply(QVariant::fromValue(errors)));
        for (const DbusMenuEvent& event : events) {
            Event(connection, event.id, event.eventId);
        }
        return true;
    }
    if (member == QLatin1String("AboutToShow") && args.size() == 1) {
        const int id = args[0].toInt();
        if (!Known(id)) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, "No such item"));
            return true;
        }
        if (id == 0) {
            Opening();
        }
        const bool changed = id == 0 && Publish(connection, true);
        connection.send(message.createReply(changed));
        return true;
    }
    if (member == QLatin1String("AboutToShowGroup") && args.size() == 1) {
        QList<int> updates;
        QList<int> errors;
        for (int id : Ids(args[0])) {
            if (!Known(id)) {
                errors.push_back(id);
            } else if (id == 0) {
                Opening();
                if (Publish(connection, true)) {
                    updates.push_back(0);
                }
            }
        }
        QDBusMessage reply = message.createReply();
        reply << QVariant::fromValue(updates) << QVariant::fromValue(errors);
        connection.send(reply);
        return true;
    }
    return false;
}

}  // namespace ww::platform
