#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace ww::platform {
namespace {

TEST(SimClock, AdvanceMovesAllClocksTogether) {
    SimPlatform sim;
    auto& clock = sim.clock();
    clock.SetFrequency(3'579'545);
    clock.SetTickCount(0xFFFF'FF00u);
    clock.SetLocalTime({2024, 2, 28, 23, 59, 59});
    clock.AdvanceMs(1500);
    std::int64_t count = -1;
    ASSERT_TRUE(sim.ports().clock.QueryPerformanceCounter(count));
    EXPECT_EQ(count, 3'579'545 + 3'579'545 / 2);
    EXPECT_EQ(sim.ports().clock.GetTickCount(), 1500u - 0x100u);  // wrapped
    const LocalTime now = sim.ports().clock.Now();
    EXPECT_EQ((std::vector<int>{now.year, now.month, now.day, now.hour, now.minute, now.second}),
              (std::vector<int>{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ(sim.log().Entries(),
              (std::vector<std::string>{"QueryPerformanceCounter", "GetTickCount", "Now"}));
}

TEST(SimClock, CounterUnavailableLeavesArgumentAndReportsZeroFrequency) {
    SimPlatform sim;
    sim.clock().SetCounterAvailable(false);
    std::int64_t count = 77;
    std::int64_t frequency = 77;
    EXPECT_FALSE(sim.ports().clock.QueryPerformanceCounter(count));
    EXPECT_FALSE(sim.ports().clock.QueryPerformanceFrequency(frequency));
    EXPECT_EQ(count, 77);
    EXPECT_EQ(frequency, 0);
}

TEST(SimEventLoop, TimersFireInDeadlineOrderAtTheirMoments) {
    SimPlatform sim;
    auto& loop = sim.ports().eventLoop;
    std::vector<std::string> fired;
    loop.SetTimer(400, [&] { fired.push_back("a@" + std::to_string(sim.clock().ElapsedMs())); });
    loop.SetTimer(1000, [&] { fired.push_back("b@" + std::to_string(sim.clock().ElapsedMs())); });
    sim.eventLoop().Post([&] { fired.push_back("posted"); });
    sim.clock().AdvanceMs(1200);
    EXPECT_EQ(fired, (std::vector<std::string>{"a@400", "posted", "a@800", "b@1000", "a@1200"}));
}

TEST(SimEventLoop, TickIsNeverReenteredAndKilledTimerStops) {
    SimPlatform sim;
    auto& loop = sim.ports().eventLoop;
    int depth = 0;
    int maxDepth = 0;
    int ticks = 0;
    int otherTicks = 0;
    EventLoop::TimerId other = loop.SetTimer(100, [&] { ++otherTicks; });
    loop.SetTimer(400, [&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        if (ticks == 1) {
            sim.clock().AdvanceMs(1000);  // a modal box held open inside the tick
            loop.KillTimer(other);
        }
        --depth;
    });
    sim.clock().AdvanceMs(2000);
    EXPECT_EQ(maxDepth, 1);
    // Ticks owed at 800 and 1200 while the first ran are skipped.
    EXPECT_EQ(ticks, 3);        // 400, then 1600 and 2000
    EXPECT_EQ(otherTicks, 14);  // 100..1400 before it was killed
    EXPECT_EQ(sim.clock().ElapsedMs(), 2000u);
}

TEST(SimEventLoop, EndStopsTimersAndPostedEvents) {
    SimPlatform sim;
    auto& loop = sim.ports().eventLoop;
    int ticks = 0;
    bool posted = false;
    loop.SetTimer(400, [&] {
        ++ticks;
        sim.eventLoop().Post([&] { posted = true; });
        loop.End();
    });
    sim.clock().AdvanceMs(4000);
    loop.DoEvents();
    EXPECT_TRUE(sim.eventLoop().Ended());
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(posted);
    EXPECT_EQ(sim.clock().ElapsedMs(), 4000u);
}

TEST(SimEventLoop, DoEventsRunsEventsPostedMeanwhile) {
    SimPlatform sim;
    std::vector<int> order;
    sim.eventLoop().Post([&] {
        order.push_back(1);
        sim.eventLoop().Post([&] { order.push_back(3); });
    });
    sim.eventLoop().Post([&] { order.push_back(2); });
    sim.ports().eventLoop.DoEvents();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(SimDialogs, RecordsBoxesAndActsWhileOpen) {
    SimPlatform sim;
    sim.dialogs().SetWhileOpen([&](const SimDialogs::MsgBoxRecord&) { sim.clock().AdvanceMs(5); });
    EXPECT_EQ(sim.ports().dialogs.MsgBox("one\r\ntwo", mb::kExclamation, "Wakewatch"), 1);
    EXPECT_EQ(sim.clock().ElapsedMs(), 5u);
    ASSERT_EQ(sim.dialogs().Shown().size(), 1u);
    EXPECT_EQ(sim.dialogs().Shown()[0].text, "one\r\ntwo");
    EXPECT_EQ(sim.log().Entries().back(), "MsgBox(\"one\\r\\ntwo\", 48, \"Wakewatch\")");
}

TEST(SimSystemIdentity, ComputerNameFitsOnlyWithItsNul) {
    SimPlatform sim;
    char buffer[kComputerNameBufferSize] = {};
    for (std::size_t length : {std::size_t{7}, std::size_t{255}, std::size_t{256}}) {
        sim.identity().SetComputerName(std::string(length, 'N'));
        std::uint32_t size = kComputerNameBufferSize;
        const bool ok = sim.ports().identity.GetComputerNameA(buffer, size);
        EXPECT_EQ(ok, length < kComputerNameBufferSize) << length;
        if (ok) {
            EXPECT_EQ(size, length);
            EXPECT_EQ(std::string(buffer), std::string(length, 'N'));
        }
    }
}

}  // namespace
}  // namespace ww::platform
