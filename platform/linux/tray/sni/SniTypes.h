#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace ww::platform {

// The D-Bus structures of the StatusNotifierItem and dbusmenu interfaces,
// each with the signature it goes on the bus with.

// (iiay): one picture size, ARGB32 pixels in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmaps = QList<SniPixmap>;

// (sa(iiay)ss): icon name, icon pixmaps, title, description.
struct SniToolTip {
    QString iconName;
    SniPixmaps pixmaps;
    QString title;
    QString text;
};

// (ia{sv}av): a menu item, its properties and its children (each child a
// variant holding one of these).
struct DbusMenuLayout {
    int id = 0;
    QVariantMap properties;
    QList<DbusMenuLayout> children;
};

// (ia{sv}): one item's properties, as GetGroupProperties answers and
// ItemsPropertiesUpdated announces.
struct DbusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DbusMenuItems = QList<DbusMenuItem>;

// (ias): property names an item no longer carries.
struct DbusMenuItemKeys {
    int id = 0;
    QStringList keys;
};
using DbusMenuItemKeysList = QList<DbusMenuItemKeys>;

// (isvu): one event of an EventGroup call.
struct DbusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DbusMenuEvents = QList<DbusMenuEvent>;

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& value);
const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& value);
QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& value);
const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& value);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuLayout& value);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuLayout& value);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuItem& value);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuItem& value);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuItemKeys& value);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuItemKeys& value);
QDBusArgument& operator<<(QDBusArgument& out, const DbusMenuEvent& value);
const QDBusArgument& operator>>(const QDBusArgument& in, DbusMenuEvent& value);

// Makes the types above known to QtDBus; safe to call more than once.
void RegisterSniTypes();

}  // namespace ww::platform

Q_DECLARE_METATYPE(ww::platform::SniPixmap)
Q_DECLARE_METATYPE(ww::platform::SniToolTip)
Q_DECLARE_METATYPE(ww::platform::DbusMenuLayout)
Q_DECLARE_METATYPE(ww::platform::DbusMenuItem)
Q_DECLARE_METATYPE(ww::platform::DbusMenuItemKeys)
Q_DECLARE_METATYPE(ww::platform::DbusMenuEvent)
