#pragma once

#include <QGuiApplication>
#include <cstdlib>

namespace ww::platform::test {

// One offscreen QGuiApplication for the whole test process, made on first use.
inline QGuiApplication& EnsureApplication() {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return *app;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "ww_platform_linux_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

}  // namespace ww::platform::test
