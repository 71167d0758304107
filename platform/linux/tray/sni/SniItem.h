#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/DBusExport.h"
#include "platform/linux/tray/sni/DBusSignalRelay.h"
#include "platform/linux/tray/sni/RegisterAgain.h"
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
// and some read every property then, so NewIcon and NewToolTip go out only
// for real changes. A watcher that forgets the item while it is shown (it
// says so, or no longer lists it) is asked again, a bounded number of times
// (RegisterAgain).
class SniItem final : public QObject {
    Q_OBJECT
    // Every property of the interface: hosts build their proxy from all of
    // them and may fail on one missing. Those we have nothing for are empty:
    // no icon names or theme, no overlay or attention pictures, no window.
    Q_PROPERTY(QString Category READ Category CONSTANT)
    Q_PROPERTY(QString Id READ Id CONSTANT)
    Q_PROPERTY(QString Title READ Title CONSTANT)
    Q_PROPERTY(QString Status READ Status CONSTANT)
    Q_PROPERTY(int WindowId READ WindowId CONSTANT)
    Q_PROPERTY(QString IconThemePath READ Empty CONSTANT)
    Q_PROPERTY(QString IconName READ Empty CONSTANT)
    Q_PROPERTY(ww::platform::SniPixmaps IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ Empty CONSTANT)
    Q_PROPERTY(ww::platform::SniPixmaps OverlayIconPixmap READ NoPixmaps CONSTANT)
    Q_PROPERTY(QString AttentionIconName READ Empty CONSTANT)
    Q_PROPERTY(ww::platform::SniPixmaps AttentionIconPixmap READ NoPixmaps CONSTANT)
    Q_PROPERTY(QString AttentionMovieName READ Empty CONSTANT)
    Q_PROPERTY(ww::platform::SniToolTip ToolTip READ ToolTip)
    // A left click opens the main window, so the item is not only a menu.
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu CONSTANT)
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
    // Whether a host could be showing the tooltip now (unset: always). A
    // changed tooltip is announced only then; hosts asking still read it as
    // it is.
    std::function<bool()> tipMayShow;

    // The tray pictures' own size.
    static constexpr int kArtSize = 16;

    // The picture at every size a host may ask for, as ARGB32 in network
    // byte order: the art at a whole multiple of its size (each pixel a
    // square of pixels), centred on a transparent square where the size is
    // no such multiple. Never scaled by a fraction, which would draw some of
    // its one-pixel strokes one and others two pixels wide.
    static SniPixmaps Pixmaps(const QIcon& icon);

    // Whether an entry of the watcher's RegisteredStatusNotifierItems, or
    // the service a StatusNotifierItemUnregistered names, is the item
    // registered as `service` by the connection `connection`: watchers
    // write a service, a service with the item's path after "/", or a
    // connection's name with the path after "@".
    static bool Names(const QString& entry, const QString& service, const QString& connection);

    // Whether the host whose watcher runs as this program (its process
    // name) shows tooltips: NewToolTip goes only to those, while ToolTip
    // always reads as it is.
    static bool ShowsToolTips(const QString& watcherProgram);

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
    int WindowId() const { return 0; }
    bool ItemIsMenu() const { return false; }
    QString Empty() const { return {}; }
    SniPixmaps NoPixmaps() const { return {}; }
    SniPixmaps IconPixmap() { return CurrentPixmaps(); }
    SniToolTip ToolTip() const { return SniToolTip{QString(), SniPixmaps{}, tip_, QString()}; }
    QDBusObjectPath Menu() const;

    const SniPixmaps& CurrentPixmaps();
    void Emit(const char* signal);
    void Register();
    // Asks the watcher whether it still lists the item.
    void CheckListed();
    void OnWatcherProperties(const QDBusMessage& message);
    bool Listed(const QStringList& items) const;
    // The watcher no longer has the item: registers it again, in a while.
    void Forgotten();
    // The process name of the watcher on bus_; empty when unknown.
    QString WatcherProgram() const;

    Trace& trace_;
    DBusExport export_;
    QDBusConnection bus_;
    // The watcher on bus_.
    std::unique_ptr<SniWatcherProxy> watcher_;
    // The watcher's PropertiesChanged on bus_.
    std::unique_ptr<DBusSignalRelay> watcherProperties_;
    QString service_;
    DBusExport* menu_ = nullptr;
    bool shown_ = false;
    bool tipsShown_ = true;
    // The watcher answered the last registration.
    bool registered_ = false;
    RegisterAgain again_;
    QElapsedTimer clock_;
    QTimer registerAgain_;
    // A while after each registration: whether the watcher kept the item.
    QTimer checkListed_;

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
