#include "platform/linux/tray/sni/SniMenu.h"

#include <QSet>

#include "SniMenuAdaptor.h"
#include "platform/linux/tray/sni/TrayBus.h"

namespace ww::platform {
namespace {

const QString kPath = QStringLiteral("/MenuBar");

QVariantMap Only(const QVariantMap& properties, const QSet<QString>& names) {
    if (names.isEmpty()) {
        return properties;
    }
    QVariantMap chosen;
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        if (names.contains(it.key())) {
            chosen.insert(it.key(), it.value());
        }
    }
    return chosen;
}

}  // namespace

SniMenu::SniMenu(Trace& trace) : trace_(trace), export_(*new SniMenuAdaptor(this), kPath) {
    RegisterSniTypes();
    // Every call sees the entries as they are now.
    export_.onCall = [this] { Publish(); };
    changed_.setSingleShot(true);
    QObject::connect(&changed_, &QTimer::timeout, this, [this] { Publish(); });
}

SniMenu::~SniMenu() = default;

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
    const QDBusConnection bus = TrayBus();
    if (bus.isConnected()) {
        export_.Emit(bus, "LayoutUpdated", {revision_, 0});
    }
}

void SniMenu::Changed() {
    if (!changed_.isActive()) {
        changed_.start(0);
    }
}

bool SniMenu::Publish() {
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
    const auto& bus = export_.Served();
    if ((!updated.isEmpty() || !removed.isEmpty()) && bus && bus->isConnected()) {
        export_.Emit(*bus, "ItemsPropertiesUpdated",
                     {QVariant::fromValue(updated), QVariant::fromValue(removed)});
        if (trace_.Enabled()) {
            trace_.Write("sni menu updated " + std::to_string(updated.size()));
        }
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

bool SniMenu::TooMany(qsizetype count, const char* what) {
    if (count <= kMostIds) {
        return false;
    }
    export_.ReplyError(
        QDBusError::InvalidArgs,
        QStringLiteral("More than %1 %2 in one call").arg(kMostIds).arg(QLatin1String(what)));
    return true;
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

bool SniMenu::HandleEvent(int id, const QString& eventId) {
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
            Publish();
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

uint SniMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                        DbusMenuLayout& layout) {
    if (TooMany(propertyNames.size(), "property names")) {
        return 0;
    }
    if (!Known(parentId)) {
        export_.ReplyError(QDBusError::InvalidArgs, "No such item");
        return 0;
    }
    layout = Layout(parentId);
    const QSet<QString> names(propertyNames.begin(), propertyNames.end());
    layout.properties = Only(layout.properties, names);
    for (DbusMenuLayout& child : layout.children) {
        child.properties = Only(child.properties, names);
    }
    if (recursionDepth == 0) {
        layout.children.clear();
    }
    return revision_;
}

DbusMenuItems SniMenu::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
    if (TooMany(ids.size(), "ids") || TooMany(propertyNames.size(), "property names")) {
        return {};
    }
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        for (std::size_t i = 0; i < published_.size(); ++i) {
            wanted.push_back(static_cast<int>(i) + 1);
        }
    }
    const QSet<QString> names(propertyNames.begin(), propertyNames.end());
    std::vector<bool> answered(published_.size() + 1);
    DbusMenuItems items;
    for (int id : wanted) {
        if (Known(id) && !answered[static_cast<std::size_t>(id)]) {
            answered[static_cast<std::size_t>(id)] = true;
            items.push_back(DbusMenuItem{id, Only(Layout(id).properties, names)});
        }
    }
    return items;
}

QDBusVariant SniMenu::GetProperty(int id, const QString& name) {
    const QVariantMap properties = Known(id) ? Layout(id).properties : QVariantMap();
    const auto found = properties.find(name);
    if (found == properties.end()) {
        export_.ReplyError(QDBusError::InvalidArgs, "No such property");
        return {};
    }
    return QDBusVariant(found.value());
}

void SniMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (Known(id)) {
        export_.Reply();
    } else {
        export_.ReplyError(QDBusError::InvalidArgs, "No such item");
    }
    HandleEvent(id, eventId);
}

QList<int> SniMenu::EventGroup(const DbusMenuEvents& events) {
    if (TooMany(events.size(), "events")) {
        return {};
    }
    // The same event for the same item counts once, and so does an unknown id.
    QList<std::pair<int, QString>> distinct;
    QSet<std::pair<int, QString>> seen;
    QList<int> errors;
    QSet<int> unknown;
    for (const DbusMenuEvent& event : events) {
        const std::pair<int, QString> one{event.id, event.eventId};
        if (seen.contains(one)) {
            continue;
        }
        seen.insert(one);
        distinct.push_back(one);
        if (!Known(event.id) && !unknown.contains(event.id)) {
            unknown.insert(event.id);
            errors.push_back(event.id);
        }
    }
    export_.Reply({QVariant::fromValue(errors)});
    for (const auto& [id, eventId] : distinct) {
        HandleEvent(id, eventId);
    }
    return errors;
}

bool SniMenu::AboutToShow(int id) {
    if (!Known(id)) {
        export_.ReplyError(QDBusError::InvalidArgs, "No such item");
        return false;
    }
    if (id == 0) {
        Opening();
    }
    return id == 0 && Publish();
}

QList<int> SniMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    if (TooMany(ids.size(), "ids")) {
        return {};
    }
    QList<int> updates;
    QSet<int> unknown;
    bool root = false;
    for (int id : ids) {
        if (!Known(id)) {
            if (!unknown.contains(id)) {
                unknown.insert(id);
                idErrors.push_back(id);
            }
        } else if (id == 0 && !root) {
            root = true;
            Opening();
            if (Publish()) {
                updates.push_back(0);
            }
        }
    }
    return updates;
}

}  // namespace ww::platform
