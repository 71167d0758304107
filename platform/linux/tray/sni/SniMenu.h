#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <QVariantMap>
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/SniTypes.h"

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
// the menu themselves. Items get the ids 1, 2, ... in menu order under the
// root 0. The checks and greys are decided when a host is about to show the
// menu, as on a right press; hosts hear of what changed then.
class SniMenu final : public QDBusVirtualObject {
  public:
    explicit SniMenu(Trace& trace);

    // The entries as they are now.
    std::function<std::vector<SniMenuEntry>()> entries;
    // The host is about to show the menu: the states are to be set now.
    std::function<void()> onOpening;
    // The host's user chose the entry at this index.
    std::function<void(std::size_t index)> onClicked;

    // The menu was built anew.
    void Rebuilt();

    // dbusmenu's properties of one entry; "&" access keys become "_".
    static QVariantMap Properties(const SniMenuEntry& entry);
    static QString Label(const QString& caption);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

  private:
    void Opening();
    // Publishes the entries' properties; tells hosts what changed when
    // `announce`. True when anything changed.
    bool Publish(const QDBusConnection& connection, bool announce);
    DbusMenuLayout Layout(int id);
    bool Known(int id) const;
    // Handles one event; false for an unknown id.
    bool Event(const QDBusConnection& connection, int id, const QString& eventId);

    Trace& trace_;
    std::vector<QVariantMap> published_;
    uint revision_ = 1;
    // A host opened the menu and no item was chosen since.
    bool open_ = false;
};

}  // namespace ww::platform
