#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/FrmSysTray.h"
#include "core/Wakewatch.h"
#include "platform/sim/SimPlatform.h"

namespace ww::core {
namespace {

using platform::SimPlatform;

class UpdateTickTest : public ::testing::Test {
  protected:
    UpdateTickTest() : program(sim.ports()) {
        sim.clock().SetUptimeMs(59'000);
        program.Start();
        sim.log().Clear();
    }

    std::string Tip() {
        const auto* icon = sim.notifyIcon().OnlyIcon();
        return icon ? icon->tip : "<no icon>";
    }

    SimPlatform sim;
    Wakewatch program;
};

TEST_F(UpdateTickTest, RunsSamplerTooltipTrayStateYieldThenTrimInOrder) {
    sim.clock().AdvanceMs(400);
    std::vector<std::string> order;
    for (const auto& entry : sim.log().Entries()) {
        for (const char* step : {"GetIfTable", "Shell_NotifyIconA(NIM_MODIFY, hWnd", "DoEvents",
                                 "SetProcessWorkingSetSize"}) {
            if (entry.rfind(step, 0) == 0) {
                order.push_back(entry.find("uFlags=4") != std::string::npos   ? "tip"
                                : entry.find("uFlags=2") != std::string::npos ? "icon"
                                                                              : step);
            }
        }
    }
    const std::vector<std::string> expected = {"GetIfTable", "tip", "icon", "DoEvents",
                                               "SetProcessWorkingSetSize"};
    EXPECT_EQ(order, expected);
}

// The tick's yield is where clicks and menu commands run: they see the tooltip
// this tick wrote, and the working set is trimmed only after them.
TEST_F(UpdateTickTest, EventsDuringATickSeeItsTooltipAndRunBeforeTheTrim) {
    sim.clock().SetUptimeMs(183'845'000);
    std::string tipSeen;
    int trimsSeen = -1;
    sim.eventLoop().Post([&] {
        tipSeen = Tip();
        trimsSeen = sim.memory().TrimCount();
    });
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(tipSeen, "OFFICE7 up for 2 days, 3:04:05");
    EXPECT_EQ(trimsSeen, 0);
    EXPECT_EQ(sim.memory().TrimCount(), 1);
}

TEST_F(UpdateTickTest, TooltipFollowsTheUptimeEveryTick) {
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(Tip(), "OFFICE7 up for 0 days, 0:00:59");
    sim.clock().AdvanceMs(800);
    EXPECT_EQ(Tip(), "OFFICE7 up for 0 days, 0:01:00");
    // Rewritten on every tick, changed or not.
    sim.log().Clear();
    sim.clock().AdvanceMs(4'000);
    EXPECT_EQ(sim.log().Count("Shell_NotifyIconA(NIM_MODIFY, hWnd"), 20u);
}

TEST_F(UpdateTickTest, UnreadableClockShowsTheFailureText) {
    sim.clock().SetFrequency(0);
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(Tip(), "OFFICE7 up for uptime query failed");
}

TEST_F(UpdateTickTest, TrimsOnTheFirstAnd751stAnd1501stTick) {
    struct Step {
        int ticks;
        int trims;
    };
    int done = 0;
    for (Step step : {Step{1, 1}, Step{750, 1}, Step{751, 2}, Step{1500, 2}, Step{1501, 3}}) {
        sim.clock().AdvanceMs(static_cast<std::uint64_t>(step.ticks - done) * 400);
        done = step.ticks;
        EXPECT_EQ(sim.memory().TrimCount(), step.trims) << "after tick " << step.ticks;
    }
}

TEST_F(UpdateTickTest, CounterWrapsFrom749ToZero) {
    sim.clock().AdvanceMs(749 * 400);
    EXPECT_EQ(program.TrayForm().TickCounter(), 749);
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(program.TrayForm().TickCounter(), 0);
}

TEST_F(UpdateTickTest, TooltipRepairThenTheUptimeOnTheNextTick) {
    sim.notifyIcon().LoseIcons();
    sim.clock().AdvanceMs(400);
    // Re-added as at start-up; the same tick's tray state already set a picture.
    EXPECT_EQ(Tip(), "OFFICE7 Wakewatch");
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(Tip(), "OFFICE7 up for 0 days, 0:01:00");
}

TEST_F(UpdateTickTest, TooltipRepairShowsTheHotCornersFlagAsItIsAtTheRepair) {
    for (const int hotCorners : {1, 0}) {
        SCOPED_TRACE(hotCorners);
        // changed after start-up, as the menu and the Settings page do
        program.Shared().HotCornersEnabled = static_cast<std::uint8_t>(hotCorners);
        sim.notifyIcon().LoseIcons();
        sim.clock().AdvanceMs(400);
        const auto& requests = sim.notifyIcon().Requests();
        const auto added = std::find_if(requests.rbegin(), requests.rend(), [](const auto& r) {
            return r.message == platform::nim::kAdd;
        });
        ASSERT_NE(added, requests.rend());
        EXPECT_EQ(added->data.hIcon,
                  program.TrayForm().Tray().IconHandle(
                      hotCorners == 1 ? tray::TrayPicture::imgIcon_none
                                      : tray::TrayPicture::imgSleeperDisabled_none));
        EXPECT_EQ(std::string(added->data.szTip), "OFFICE7 Wakewatch");
    }
}

TEST_F(UpdateTickTest, ExitDuringTheYieldStopsTheTickAtOnce) {
    sim.eventLoop().Post([this] { program.TrayForm().menuExit_Click(); });
    sim.clock().AdvanceMs(400);
    EXPECT_TRUE(sim.eventLoop().Ended());
    EXPECT_EQ(sim.memory().TrimCount(), 0);
    EXPECT_EQ(sim.notifyIcon().OnlyIcon(), nullptr);
}

TEST_F(UpdateTickTest, TaskbarRestartBetweenTicksKeepsPictureAndTip) {
    sim.clock().AdvanceMs(1'200);
    const std::string before = Tip();
    const auto icon = sim.notifyIcon().OnlyIcon()->hIcon;
    sim.notifyIcon().RestartTaskbar();
    ASSERT_NE(sim.notifyIcon().OnlyIcon(), nullptr);
    EXPECT_EQ(Tip(), before);
    EXPECT_EQ(sim.notifyIcon().OnlyIcon()->hIcon, icon);
}

}  // namespace
}  // namespace ww::core
