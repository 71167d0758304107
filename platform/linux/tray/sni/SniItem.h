#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/DBusExport.h"
#include "platform/linux/tray/sni/SniTypes.h"
#include "platform/ports/ProgramInfo.h"

// Generated from org.kde.StatusNotifierItem.xml and
// org.kde.StatusNotifierWatcher.xml.
class SniItemAdaptor;
class SniWatcherProxy;

namespace ww::platform {

// The tray icon as our own org.kde.StatusNotifierItem on the session bus
// (the interface: org.kde.StatusNotifierItem.xml).
//
// Shown, it owns a bus name of its own and registers it with the
// StatusNotifierWatcher; hidden, it gives the name up, which takes it out of
// every host. Hosts read the picture and the tooltip when told they changed,
// so NewIcon and NewToolTip go out only for real changes.
class SniItem final : public QObject {
    Q_OBJECT
    // The properties with a value of their own; the others read as their
    // type's default: no icon names, no overlay or attention pictures,
    // WindowId 0, ItemIsMenu false.
    Q_PROPERTY(QString Category READ Category CONSTANT)
    Q_PROPERTY(QString Id READ Id CONSTANT)
    Q_PROPERTY(QString Title READ Title CONSTANT)
    Q_PROPERTY(QString Status READ Status CONSTANT)
    Q_PROPERTY(ww::platform::SniPixmaps IconPixmap READ IconPixmap)
    Q_PROPERTY(ww::platform::SniToolTip ToolTip READ ToolTip)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)

  public:
    static constexpr int kSizes[] = {16, 22, 24, 32, 48};

    explicit SniItem(Trace& trace);
    ~SniItem() override;
    SniItem(const SniItem&) = delete;
    SniItem& operator=(const SniItem&) = delete;

    void SetToolTip(const QString& tip);
    void SetIcon(const QIcon& icon);
    // The dbusmenu object hosts find at the Menu path (null: none).
    void SetMenu(DBusExport* menu) { menu_ = menu; }

    // Exports the item and registers it with the watcher, on the tray's
    // connection to the session bus as it is now.
    void Show();
    void Hide();
    bool Shown() const { return shown_; }

    // A host's left click.
    std::function<void()> onActivate;
    // A host that asks the item to show its menu at this point.
    std::function<void(QPoint at)> onContextMenu;

    // The picture at every size a host may ask for, drawn at exactly that
    // size, as ARGB32 in network byte order.
    static SniPixmaps Pixmaps(const QIcon& icon);

  private:
    // The interface's methods, as the generated adaptor calls them.
    friend class ::SniItemAdaptor;
    void Activate(int x, int y);
    void ContextMenu(int x, int y);
    void SecondaryActivate(int, int) {}
    void Scroll(int, const QString&) {}
    void ProvideXdgActivationToken(const QString&) {}

    QString Category() const { return QStringLiteral("ApplicationStatus"); }
    QString Id() const { return QStringLiteral("wakewatch"); }
    QString Title() const { return QString::fromUtf8(kAppTitle); }
    QString Status() const { return QStringLiteral("Active"); }
    SniPixmaps IconPixmap() { return CurrentPixmaps(); }
    SniToolTip ToolTip() const { return SniToolTip{QString(), SniPixmaps{}, tip_, QString()}; }
    QDBusObjectPath Menu() const;

    const SniPixmaps& CurrentPixmaps();
    void Emit(const char* signal);
    void Register();

    Trace& trace_;
    DBusExport export_;
    QDBusConnection bus_;
    // The watcher on bus_.
    std::unique_ptr<SniWatcherProxy> watcher_;
    QString service_;
    DBusExport* menu_ = nullptr;
    bool shown_ = false;

    QString tip_;
    QIcon icon_;
    // Rendered pictures by the icon's cache key: the icon alternates among a
    // few pictures.
    std::map<qint64, SniPixmaps> rendered_;
    // What hosts were last told.
    std::optional<QString> publishedTip_;
    std::optional<qint64> publishedIcon_;
};

}  // namespace ww::platform
