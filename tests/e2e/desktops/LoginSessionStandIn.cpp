// login_session_stand_in: the little of logind that the lock path uses, on
// $DBUS_SYSTEM_BUS_ADDRESS, for a test machine without a logind session:
// one session "c1", found by Manager.GetSession (any id, "auto" included) or
// GetSessionByPID and also at /org/freedesktop/login1/session/auto, whose Id
// property reads "c1"; its Lock method sends the session's Lock signal, as
// logind does for `loginctl lock-session`, which swayidle and xss-lock
// listen for. Prints "ready" once it owns the name, then one line per call.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QVariantMap>
#include <cstdio>

namespace {

const QString kRoot = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kSessionPath = QStringLiteral("/org/freedesktop/login1/session/c1");
const QString kAutoPath = QStringLiteral("/org/freedesktop/login1/session/auto");

class StandIn : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::printf("%s.%s %s\n", qPrintable(message.interface()), qPrintable(message.member()),
                    qPrintable(message.path()));
        std::fflush(stdout);
        const QString member = message.member();
        const QString path = message.path();
        const bool session = path == kSessionPath || path == kAutoPath;
        const QVariant asked = message.arguments().value(0);
        QDBusMessage reply;
        if (path == kRoot && message.interface() == kManager &&
            (member == QLatin1String("GetSession") || member == QLatin1String("GetSessionByPID"))) {
            reply = message.createReply(QVariant::fromValue(QDBusObjectPath(kSessionPath)));
        } else if (session && member == QLatin1String("Get") && asked == kSession &&
                   message.arguments().value(1) == QLatin1String("Id")) {
            reply = message.createReply(QVariant::fromValue(QDBusVariant(QStringLiteral("c1"))));
        } else if (session && member == QLatin1String("GetAll") && asked == kSession) {
            reply = message.createReply(QVariantMap{{QStringLiteral("Id"), QStringLiteral("c1")}});
        } else if (session && message.interface() == kSession && member == QLatin1String("Lock")) {
            reply = message.createReply();
            connection.send(QDBusMessage::createSignal(kSessionPath, kSession, member));
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
    if (!bus.registerVirtualObject(kRoot, &standIn, QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "login_session_stand_in: cannot serve on the system bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
