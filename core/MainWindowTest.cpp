#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FrmSysTray.h"
#include "core/Wakewatch.h"
#include "platform/sim/SimPlatform.h"

namespace ww::core {
namespace {

using platform::MainControl;
using platform::SimPlatform;

std::vector<std::string> Calls(const platform::SimLog& log,
                               std::initializer_list<const char*> prefixes) {
    std::vector<std::string> calls;
    for (const auto& entry : log.Entries()) {
        for (const char* prefix : prefixes) {
            if (entry.starts_with(prefix)) {
                calls.push_back(prefix);
            }
        }
    }
    return calls;
}

TEST(MainWindow, PopupOptionOpensTheWindowAtStart) {
    const struct {
        const char* command;
        bool opens;
    } cases[] = {{"-POPUP", true}, {"-popup", true}, {"", false}, {"/POPUP", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        SimPlatform sim;
        sim.clock().SetLocalTime({2026, 12, 6, 14, 3, 9});
        sim.clock().SetUptimeMs(0);
        sim.application().SetCommand(c.command);
        Wakewatch program(sim.ports());
        program.Start();
        EXPECT_EQ(sim.mainWindow().Shown(), c.opens);
        EXPECT_EQ(program.TrayForm().MainWindow().Loaded(), c.opens);
        EXPECT_EQ(sim.eventLoop().Timers().size(), c.opens ? 2U : 1U);
        if (c.opens) {
            // The status page shows the start time fixed during start-up.
            EXPECT_EQ(sim.mainWindow().GetText(MainControl::txtStartTime),
                      "up since 06-Dec-26 2:03:09 pm");
            EXPECT_EQ(sim.mainWindow()
                          .GetText(MainControl::txtUptime)
                          .rfind("OFFICE7 has been up for ", 0),
                      0U);
        }
    }
}

TEST(MainWindow, UnloadButtonRemovesTheIconThenTheWindowThenEnds) {
    SimPlatform sim;
    sim.application().SetCommand("-POPUP");
    Wakewatch program(sim.ports());
    program.Start();
    sim.log().Clear();
    sim.mainWindow().UserClick(MainControl::btnUnload);
    EXPECT_EQ(
        Calls(sim.log(), {"Shell_NotifyIconA(NIM_DELETE", "DestroyMainWindow", "End"}),
        (std::vector<std::string>{"Shell_NotifyIconA(NIM_DELETE", "DestroyMainWindow", "End"}));
    EXPECT_EQ(sim.notifyIcon().OnlyIcon(), nullptr);
    EXPECT_TRUE(sim.eventLoop().Ended());
    EXPECT_TRUE(sim.eventLoop().Timers().empty());
}

TEST(MainWindow, PlatformClosingUnloadsTheOpenWindow) {
    SimPlatform sim;
    sim.application().SetCommand("-POPUP");
    Wakewatch program(sim.ports());
    program.Start();
    sim.forms().CloseTrayForm();
    EXPECT_FALSE(sim.mainWindow().Exists());
    EXPECT_TRUE(sim.eventLoop().Ended());
}

TEST(MainWindow, AppliedHotCornersReachTheTrayOnTheNextTick) {
    SimPlatform sim;
    Wakewatch program(sim.ports());
    program.Start();
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(program.TrayForm().Tray().Picture(), tray::TrayPicture::imgSleeperDisabled_none);
    program.TrayForm().MainWindow().Show();
    sim.mainWindow().UserClick(MainControl::chkHotCorners);
    sim.mainWindow().UserClick(MainControl::btnOK);
    EXPECT_EQ(program.Shared().HotCornersEnabled, 1);
    EXPECT_EQ(program.TrayForm().Tray().Picture(), tray::TrayPicture::imgSleeperDisabled_none);
    sim.clock().AdvanceMs(400);
    EXPECT_EQ(program.TrayForm().Tray().Picture(), tray::TrayPicture::imgIcon_none);
}

}  // namespace
}  // namespace ww::core
