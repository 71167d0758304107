#include "platform/win32/Win32EventLoop.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32TestPump.h"

namespace ww::platform {
namespace {

class Win32EventLoopTest : public ::testing::Test {
  protected:
    RunState run_;
    Win32Trace trace_{std::string()};
    Win32EventLoop loop_{run_, trace_};
};

TEST_F(Win32EventLoopTest, TimersFireUntilKilled) {
    int fast = 0;
    int slow = 0;
    const auto fastId = loop_.SetTimer(20, [&] { ++fast; });
    const auto slowId = loop_.SetTimer(60, [&] { ++slow; });
    ASSERT_NE(fastId, 0u);
    ASSERT_NE(slowId, fastId);
    ASSERT_TRUE(PumpUntil([&] { return fast >= 3 && slow >= 1; }));
    loop_.KillTimer(fastId);
    const int fastThen = fast;
    const int slowThen = slow;
    ASSERT_TRUE(PumpUntil([&] { return slow >= slowThen + 2; }));
    EXPECT_EQ(fast, fastThen);
    loop_.KillTimer(slowId);
    loop_.KillTimer(12345);  // unknown: ignored
}

TEST_F(Win32EventLoopTest, ATickThatYieldsIsNotReentered) {
    int depth = 0;
    int deepest = 0;
    int ticks = 0;
    loop_.SetTimer(10, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        // Long enough for further intervals to pass while messages run.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 60) {
            loop_.DoEvents();
        }
        --depth;
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
    EXPECT_EQ(deepest, 1);
}

TEST_F(Win32EventLoopTest, ATimerKilledInItsOwnTickStops) {
    int ticks = 0;
    EventLoop::TimerId id = 0;
    id = loop_.SetTimer(10, [&] {
        ++ticks;
        loop_.KillTimer(id);
    });
    int other = 0;
    loop_.SetTimer(10, [&] { ++other; });
    ASSERT_TRUE(PumpUntil([&] { return other >= 5; }));
    EXPECT_EQ(ticks, 1);
}

TEST_F(Win32EventLoopTest, DoEventsHandlesQueuedMessages) {
    int ticks = 0;
    loop_.SetTimer(10, [&] { ++ticks; });
    // Run() is not running: the timer's messages are handled by DoEvents alone.
    const DWORD start = GetTickCount();
    while (ticks == 0 && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        loop_.DoEvents();
    }
    EXPECT_GE(ticks, 1);
}

TEST_F(Win32EventLoopTest, EndStopsTimersAndTheLoop) {
    int ticks = 0;
    loop_.SetTimer(10, [&] {
        if (++ticks == 3) {
            loop_.End();
        }
    });
    // Run returns once End has been called from within a tick.
    EXPECT_EQ(loop_.Run(), 0);
    EXPECT_TRUE(run_.Ended());
    EXPECT_EQ(ticks, 3);
    // Nothing runs any more, and a new loop returns at once.
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(loop_.Run(), 0);
}

TEST_F(Win32EventLoopTest, DoEventsLeavesTheQuitMessageForTheLoop) {
    PostQuitMessage(3);
    loop_.DoEvents();
    MSG message;
    ASSERT_NE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), FALSE);
    EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace ww::platform
