#include "platform/linux/SessionEnd.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>

namespace ww::platform {

SessionEnd::SessionEnd(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    QObject::connect(app, &QGuiApplication::saveStateRequest, this, [](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
    });
    QObject::connect(app, &QGuiApplication::commitDataRequest, this,
                     [this](QSessionManager& manager) {
                         manager.setRestartHint(QSessionManager::RestartNever);
                         if (onEnd_) {
                             onEnd_();
                         }
                     });
    app->installEventFilter(this);
}

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    // The program itself never quits through a Quit event (End leaves the
    // loop with exit()), so one arriving here comes from outside.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance() && onEnd_) {
        onEnd_();
        return true;
    }
    return false;
}

}  // namespace ww::platform
