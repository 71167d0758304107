// display_manager_stand_in: what GNOME Shell asks of the display manager on
// $DBUS_SYSTEM_BUS_ADDRESS before it builds its screen shield (and so its
// org.gnome.ScreenSaver): org.gnome.DisplayManager.Manager's Version property,
// new enough for the shell to lock, and RegisterSession, which it calls once
// it is up. Prints "ready" once it owns the name, then one line per call.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QVariantMap>
#include <cstdio>

namespace {

const QString kManager = QStringLiteral("org.gnome.DisplayManager.Manager");
const QString kVersion = QStringLiteral("43.0");

class StandIn : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::printf("%s.%s\n", qPrintable(message.interface()), qPrintable(message.member()));
        std::fflush(stdout);
        const QString member = message.member();
        const QVariant asked = message.arguments().value(0);
        QDBusMessage reply;
        if (member == QLatin1String("Get") && asked == kManager &&
            message.arguments().value(1) == QLatin1String("Version")) {
            reply = message.createReply(QVariant::fromValue(QDBusVariant(kVersion)));
        } else if (member == QLatin1String("GetAll") && asked == kManager) {
            reply = message.createReply(QVariantMap{{QStringLiteral("Version"), kVersion}});
        } else if (member == QLatin1String("RegisterSession")) {
            reply = message.createReply();
        } else {
            reply = message.createErrorReply(QDBusError::UnknownMethod, member);
        }
        connection.send(reply);
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StandIn standIn;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.registerVirtualObject(QStringLiteral("/org/gnome/DisplayManager/Manager"), &standIn) ||
        !bus.registerService(QStringLiteral("org.gnome.DisplayManager"))) {
        std::fprintf(stderr, "display_manager_stand_in: cannot serve on the system bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
