// shell_screenshot FILE: a PNG of the whole screen of the GNOME Shell on
// $DBUS_SESSION_BUS_ADDRESS, through org.gnome.Shell.Screenshot. The shell
// answers only callers that own one of the names of its own screenshot
// tools, so this one takes org.gnome.Screenshot first, as that tool does.
// FILE must be writable by the shell's user. Exits 0 once the file is there.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: shell_screenshot FILE\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(QStringLiteral("org.gnome.Screenshot"))) {
        std::fprintf(stderr, "shell_screenshot: cannot own org.gnome.Screenshot\n");
        return 1;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("/org/gnome/Shell/Screenshot"),
        QStringLiteral("org.gnome.Shell.Screenshot"), QStringLiteral("Screenshot"));
    // include_cursor, flash, filename
    call << false << false << QString::fromLocal8Bit(argv[1]);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool()) {
        std::fprintf(stderr, "shell_screenshot: %s %s\n", qPrintable(reply.errorName()),
                     qPrintable(reply.errorMessage()));
        return 1;
    }
    return 0;
}
