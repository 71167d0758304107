#include "platform/linux/SignalBridge.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "platform/linux/qt/TestApplication.h"

namespace ww::platform {
namespace {

TEST(SignalBridgeTest, SignalsArriveOnTheLoopInOrder) {
    test::EnsureApplication();
    std::vector<int> received;
    {
        SignalBridge bridge([&](int signal) { received.push_back(signal); });
        raise(SIGTERM);
        raise(SIGHUP);
        raise(SIGINT);
        EXPECT_TRUE(received.empty());  // not from inside the handler
        for (int i = 0; i < 3 && received.size() < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));

    // Gone with the bridge: the previous disposition is back.
    struct sigaction now {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace ww::platform
