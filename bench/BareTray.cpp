// The least a Qt tray program can do: an icon and a 400 ms timer that does
// nothing. What it costs idle is the floor under Wakewatch's own figure on the
// same machine, the share no code of ours can take away.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    QSystemTrayIcon icon{QIcon(picture)};
    icon.show();
    QTimer timer;
    timer.setTimerType(Qt::CoarseTimer);
    timer.setInterval(400);
    QObject::connect(&timer, &QTimer::timeout, [] {});
    timer.start();
    return QApplication::exec();
}
