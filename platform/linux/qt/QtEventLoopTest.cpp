#include "platform/linux/qt/QtEventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/linux/qt/TestApplication.h"

namespace ww::platform {
namespace {

// Zero-interval timers fire on every pass of the loop, so the tests turn the
// loop by hand instead of waiting.
class QtEventLoopTest : public ::testing::Test {
  protected:
    QtEventLoopTest() { test::EnsureApplication(); }

    static void Turn(int passes = 3) {
        for (int i = 0; i < passes; ++i) {
            QCoreApplication::processEvents();
        }
    }

    RunState run_;
    Trace trace_{std::string()};
    QtEventLoop loop_{run_, trace_};
};

TEST_F(QtEventLoopTest, TimersTickWithDistinctIds) {
    int a = 0;
    int b = 0;
    const auto first = loop_.SetTimer(0, [&] { ++a; });
    const auto second = loop_.SetTimer(0, [&] { ++b; });
    EXPECT_NE(first, 0U);
    EXPECT_NE(second, 0U);
    EXPECT_NE(first, second);
    Turn();
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
}

TEST_F(QtEventLoopTest, ATickThatYieldsIsNotReentered) {
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    loop_.SetTimer(0, [&] {
        ++ticks;
        ++depth;
        deepest = std::max(deepest, depth);
        loop_.DoEvents();  // the timer is due again in here
        loop_.DoEvents();
        --depth;
    });
    Turn();
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(deepest, 1);
}

TEST_F(QtEventLoopTest, KilledTimerTicksNoMoreEvenFromItsOwnTick) {
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = loop_.SetTimer(0, [&] {
        ++ticks;
        loop_.KillTimer(id);
        loop_.DoEvents();
    });
    Turn(5);
    EXPECT_EQ(ticks, 1);
    loop_.KillTimer(id);     // twice: ignored
    loop_.KillTimer(12345);  // unknown: ignored
}

TEST_F(QtEventLoopTest, EndStopsEveryTimerAndTheLogicHearsNothingMore) {
    int a = 0;
    int b = 0;
    loop_.SetTimer(0, [&] {
        ++a;
        loop_.End();
    });
    loop_.SetTimer(0, [&] { ++b; });
    Turn(5);
    EXPECT_TRUE(run_.Ended());
    EXPECT_EQ(a, 1);
    EXPECT_LE(b, 1);  // at most the pass that was already under way
    const int bAtEnd = b;
    loop_.DoEvents();
    Turn(3);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, bAtEnd);
    EXPECT_EQ(loop_.SetTimer(0, [&] { ++a; }) != 0, true);
    Turn(3);
    EXPECT_EQ(a, 1);  // a timer set after the end never ticks
}

}  // namespace
}  // namespace ww::platform
