#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/DBusExport.h"
#include "platform/linux/tray/sni/SniTypes.h"

// Generated from com.canonical.dbusmenu.xml.
class SniMenuAdaptor;

namespace ww::platform {

// One entry of the popup menu as a dbusmenu host sees it.
struct SniMenuEntry {
    bool separator = false;
    QString caption;  // with "&" access keys
    bool check = false;
    bool checked = false;
    bool enabled = true;
};

// The tray icon's popup menu as com.canonical.dbusmenu, for hosts that draw
// the menu themselves (the interface: com.canonical.dbusmenu.xml). Items get
// the ids 1, 2, ... in menu order under the root 0. The checks and greys are
// decided when a host is about to show the menu, as on a right press, and
// follow the program between openings; every answer gives them as they are
// now, and hosts hear of each change (ItemsPropertiesUpdated), so that one
// that draws the menu from what it read last shows the truth.
//
// The work of a call is bounded by the menu's size: an id named twice counts
// once, unknown ids are only reported, and a call naming more than kMostIds
// ids (or events, or property names) gets InvalidArgs.
class SniMenu final : public QObject {
    Q_OBJECT
    // IconThemePath reads as its default, none.
    Q_PROPERTY(uint Version READ Version CONSTANT)
    Q_PROPERTY(QString TextDirection READ TextDirection CONSTANT)
    Q_PROPERTY(QString Status READ Status CONSTANT)

  public:
    static constexpr qsizetype kMostIds = 1024;

    explicit SniMenu(Trace& trace);
    ~SniMenu() override;
    SniMenu(const SniMenu&) = delete;
    SniMenu& operator=(const SniMenu&) = delete;

    // The entries as they are now.
    std::function<std::vector<SniMenuEntry>()> entries;
    // The host is about to show the menu: the states are to be set now.
    std::function<void()> onOpening;
    // The host's user chose the entry at this index.
    std::function<void(std::size_t index)> onClicked;

    // The menu was built anew.
    void Rebuilt();
    // An entry's label, check or grey changed: hosts hear of it once the
    // program is back in its event loop, the changes of one moment together.
    void Changed();

    // dbusmenu's properties of one entry; "&" access keys become "_".
    static QVariantMap Properties(const SniMenuEntry& entry);
    static QString Label(const QString& caption);

    // The menu as exported.
    DBusExport& Exported() { return export_; }

  private:
    // The interface's methods, as the generated adaptor calls them.
    friend class ::SniMenuAdaptor;
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   DbusMenuLayout& layout);
    DbusMenuItems GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const DbusMenuEvents& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

    uint Version() const { return 3; }
    QString TextDirection() const { return QStringLiteral("ltr"); }
    QString Status() const { return QStringLiteral("normal"); }

    void Opening();
    // Publishes the entries' properties and tells hosts what changed since
    // they were published last. True when anything changed.
    bool Publish();
    DbusMenuLayout Layout(int id);
    bool Known(int id) const;
    // Answers InvalidArgs for a list longer than kMostIds.
    bool TooMany(qsizetype count, const char* what);
    // Handles one event; false for an unknown id.
    bool HandleEvent(int id, const QString& eventId);

    Trace& trace_;
    DBusExport export_;
    std::vector<QVariantMap> published_;
    uint revision_ = 1;
    QTimer changed_;
    // A host opened the menu and no item was chosen since.
    bool open_ = false;
};

}  // namespace ww::platform
