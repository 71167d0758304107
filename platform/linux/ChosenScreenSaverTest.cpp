#include "platform/linux/ChosenScreenSaver.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/qt/TestApplication.h"
#include "platform/linux/saver/SessionScreenSaver.h"
#include "platform/linux/wayland/FakeCompositor.h"

namespace ww::platform {
namespace {

template <typename Done>
bool Until(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A Wayland session whose only saver is the compositor's idle action: no
// session bus, no system bus, the compositor one of our own.
class ChosenScreenSaverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("WAYLAND_DISPLAY", compositor_.Socket().c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/session-bus", 1);
        setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system-bus", 1);
        test::EnsureApplication();
    }

    int Inhibitors() const { return compositor_.Alive("zwp_idle_inhibitor_v1"); }
    bool SwitchOff(ChosenScreenSaver& saver) {
        return saver.SystemParametersInfoA(spi::kSetScreenSaveActive, 0, nullptr, 0);
    }
    void SwitchOn(ChosenScreenSaver& saver) {
        saver.SystemParametersInfoA(spi::kSetScreenSaveActive, 1, nullptr, 0);
    }

    test::FakeCompositor compositor_;
};

TEST_F(ChosenScreenSaverTest, HoldsThroughTheIdleInhibitorAndLetsGoOnRelease) {
    SessionScreenSaver freedesktop;
    ChosenScreenSaver saver(nullptr, freedesktop);
    ASSERT_TRUE(saver.CanSwitchScreenSaverOff());
    ASSERT_TRUE(SwitchOff(saver));
    EXPECT_TRUE(Until([&] { return Inhibitors() == 1; }));
    SwitchOn(saver);
    EXPECT_TRUE(Until([&] { return Inhibitors() == 0; }));
}

TEST_F(ChosenScreenSaverTest, TheHoldGoesAtExitAndWithTheObject) {
    SessionScreenSaver freedesktop;
    {
        ChosenScreenSaver saver(nullptr, freedesktop);
        ASSERT_TRUE(SwitchOff(saver));
        ASSERT_TRUE(Until([&] { return Inhibitors() == 1; }));
        saver.RestoreOnExit();
        EXPECT_TRUE(Until([&] { return Inhibitors() == 0; }));
        ASSERT_TRUE(SwitchOff(saver));
        ASSERT_TRUE(Until([&] { return Inhibitors() == 1; }));
    }
    EXPECT_TRUE(Until([&] { return Inhibitors() == 0; }));
}

// The manager withdrawn: nothing holds, so "Disable Screen Saver" greys; offered
// again, a hold still wanted is taken again at the next question.
TEST_F(ChosenScreenSaverTest, FallsBackWhileTheInhibitManagerIsWithdrawn) {
    SessionScreenSaver freedesktop;
    ChosenScreenSaver saver(nullptr, freedesktop);
    ASSERT_TRUE(SwitchOff(saver));
    ASSERT_TRUE(Until([&] { return Inhibitors() == 1; }));

    compositor_.Withdraw("zwp_idle_inhibit_manager_v1");
    ASSERT_TRUE(Until([&] { return !saver.CanSwitchScreenSaverOff(); }));
    EXPECT_TRUE(Until([&] { return Inhibitors() == 0; }));

    compositor_.Offer("zwp_idle_inhibit_manager_v1");
    ASSERT_TRUE(Until([&] { return saver.CanSwitchScreenSaverOff(); }));
    EXPECT_TRUE(Until([&] { return Inhibitors() == 1; }));
}

}  // namespace
}  // namespace ww::platform
