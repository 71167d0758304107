#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

namespace ww::platform::test {

// One offscreen QApplication for the whole test process, made on first use
// and gone when the tests end, before any static destructor: Qt's input
// devices must go while Qt's own statics are still there.
inline QApplication& EnsureWidgetApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *app;
    }
    class Application final : public ::testing::Environment {
      public:
        Application() {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            app_ = new QApplication(argc_, argv_);
        }
        void TearDown() override {
            delete app_;
            app_ = nullptr;
        }
        QApplication* app_ = nullptr;

      private:
        int argc_ = 1;
        char name_[27] = "ww_platform_linux_ui_tests";
        char* argv_[2] = {name_, nullptr};
    };
    auto* environment = new Application;
    ::testing::AddGlobalTestEnvironment(environment);
    return *environment->app_;
}

}  // namespace ww::platform::test
