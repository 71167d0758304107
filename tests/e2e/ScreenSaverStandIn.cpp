// screensaver_stand_in: an org.freedesktop.ScreenSaver of the tests' own on
// $DBUS_SESSION_BUS_ADDRESS. Prints "ready" once it owns the name, then one
// line per call, e.g. "SetActive(true)", "Inhibit(Wakewatch, <reason>)",
// "UnInhibit(101)". Inhibit answers the cookies 101, 102, ...
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <cstdio>
#include <string>

namespace {

class StandIn : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        std::string call = message.member().toStdString() + "(";
        for (const QVariant& argument : message.arguments()) {
            call += (call.back() == '(' ? "" : ", ") + argument.toString().toStdString();
        }
        std::printf("%s)\n", call.c_str());
        std::fflush(stdout);
        QDBusMessage reply = message.createReply();
        if (message.member() == QLatin1String("Inhibit")) {
            reply << ++lastCookie_;
        } else if (message.member() == QLatin1String("SetActive")) {
            // As ksmserver: true when it started the saver.
            reply << (message.arguments().value(0).toBool());
        } else if (message.member() == QLatin1String("GetActive")) {
            reply << false;
        }
        connection.send(reply);
        return true;
    }

  private:
    uint lastCookie_ = 100;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StandIn standIn;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &standIn) ||
        !bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"))) {
        std::fprintf(stderr, "screensaver_stand_in: cannot serve on the session bus\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
