#include "platform/linux/tray/sni/SniTypes.h"

#include <QDBusMetaType>

namespace ww::platform {

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& value) {
    out.beginStructure();
    out << value.width << value.height << value.bytes;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& value) {
    in.beginStructure();
    in >> value.width >> value.height >> value.bytes;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& value) {
    out.beginStructure();
    out << value.iconName << value.pixmaps << value.title << value.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& value) {
    in.beginStructure();
    in >> value.iconName >> value.pixmaps >> value.title >> value.text;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuLayout& value) {
    out.beginStructure();
    out << value.id << value.properties;
    out.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DbusMenuLayout& child : value.children) {
        out << QDBusVariant(QVariant::fromValue(child));
    }
    out.endArray();
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuLayout& value) {
    in.beginStructure();
    in >> value.id >> value.properties;
    value.children.clear();
    in.beginArray();
    while (!in.atEnd()) {
        QDBusVariant child;
        in >> child;
        value.children.push_back(qdbus_cast<DbusMenuLayout>(child.variant()));
    }
    in.endArray();
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuItem& value) {
    out.beginStructure();
    out << value.id << value.properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuItem& value) {
    in.beginStructure();
    in >> value.id >> value.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuItemKeys& value) {
    out.beginStructure();
    out << value.id << value.keys;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuItemKeys& value) {
    in.beginStructure();
    in >> value.id >> value.keys;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuEvent& value) {
    out.beginStructure();
    out << value.id << value.eventId << value.data << value.timestamp;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuEvent& value) {
    in.beginStructure();
    in >> value.id >> value.eventId >> value.data >> value.timestamp;
    in.endStructure();
    return in;
}

void RegisterSniTypes() {
    static const bool registered = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmaps>();
        qDBusRegisterMetaType<SniToolTip>();
        qDBusRegisterMetaType<DbusMenuLayout>();
        qDBusRegisterMetaType<DbusMenuItem>();
        qDBusRegisterMetaType<DbusMenuItems>();
        qDBusRegisterMetaType<DbusMenuItemKeys>();
        qDBusRegisterMetaType<DbusMenuItemKeysList>();
        qDBusRegisterMetaType<DbusMenuEvent>();
        qDBusRegisterMetaType<DbusMenuEvents>();
        return true;
    }();
    (void)registered;
}

}  // namespace ww::platform
