#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/FrmSysTray.h"
#include "core/Wakewatch.h"
#include "platform/sim/SimPlatform.h"
#include "settings/SettingsStore.h"
#include "tests/support/CaseNames.h"

namespace ww::core {
namespace {

using ww::cases::PrintTo;

using platform::SimPlatform;

// Only the calls whose order start-up fixes; clock reads and the registry
// detail of the settings steps are left out.
std::vector<std::string> StartupCalls(const platform::SimLog& log) {
    const char* kept[] = {"PrevInstance",
                          "CreateMutexA",
                          "GetVersionExA",
                          "GetComputerNameA",
                          "Now",
                          "RegisterWindowMessageA",
                          "SetWindowLongA",
                          "Shell_NotifyIconA",
                          "Command",
                          "SetTimer",
                          "MsgBox",
                          "End",
                          "SystemParametersInfoA",
                          "DestroyTrayForm"};
    std::vector<std::string> calls;
    for (const auto& entry : log.Entries()) {
        for (const char* prefix : kept) {
            if (entry.rfind(prefix, 0) == 0) {
                calls.push_back(entry.substr(0, entry.find(',')));
            }
        }
    }
    return calls;
}

TEST(Startup, RunsItsStepsInOrder) {
    SimPlatform sim;
    Wakewatch program(sim.ports());
    program.Start();
    const std::vector<std::string> expected = {
        "PrevInstance",
        "CreateMutexA(Wakewatch)",
        "CreateMutexA(Global\\Wakewatch)",
        "GetVersionExA",
        "GetComputerNameA(256)",
        "Now",
        "RegisterWindowMessageA(TaskbarCreated)",
        "SetWindowLongA(" + std::to_string(program.TrayForm().FormWindow()),
        "Shell_NotifyIconA(NIM_ADD",
        "Shell_NotifyIconA(NIM_MODIFY",
        "Command",
        "SetTimer(400)",
    };
    auto calls = StartupCalls(sim.log());
    // SetWindowLongA's entry carries ", -4)" which the comma cut removed.
    EXPECT_EQ(calls, expected);
    // The settings are read after the start time is fixed and before the hook.
    const auto& entries = sim.log().Entries();
    auto index = [&](std::string_view prefix) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].rfind(prefix, 0) == 0)
                return i;
        }
        return entries.size();
    };
    EXPECT_LT(index("Now"), index("RegOpenKeyA"));
    EXPECT_LT(index("RegOpenKeyA"), index("RegisterWindowMessageA"));
}

// Settings are read before the icon is added, so its very first picture
// already shows whether hot corners are on.
TEST(Startup, TheFirstPictureShowsTheStoredHotCornersSetting) {
    const struct {
        std::optional<std::uint32_t> stored;
        tray::TrayPicture first;
    } cases[] = {{std::nullopt, tray::TrayPicture::imgSleeperDisabled_none},
                 {0, tray::TrayPicture::imgSleeperDisabled_none},
                 {1, tray::TrayPicture::imgIcon_none}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? std::to_string(*c.stored) : "missing");
        SimPlatform sim;
        if (c.stored) {
            sim.registry().SetDword(platform::kHkeyLocalMachine, settings::SettingsKey(),
                                    "HotCorners", *c.stored);
        }
        Wakewatch program(sim.ports());
        program.Start();
        const auto& requests = sim.notifyIcon().Requests();
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(requests.front().message, platform::nim::kAdd);
        EXPECT_EQ(requests.front().data.hIcon, program.TrayForm().Tray().IconHandle(c.first));
    }
}

TEST(Startup, FirstTooltipThenUptimeBeforeAnyTick) {
    for (const std::string name : {"OFFICE7", ""}) {
        SCOPED_TRACE(name);
        SimPlatform sim;
        sim.identity().SetComputerName(name);
        sim.clock().SetUptimeMs(183'845'000);
        Wakewatch program(sim.ports());
        program.Start();
        const auto& requests = sim.notifyIcon().Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(std::string(requests[0].data.szTip), name + " Wakewatch");
        EXPECT_EQ(std::string(requests[1].data.szTip), name + " up for 2 days, 3:04:05");
        EXPECT_EQ(program.Shared().ComputerName, name);
    }
}

TEST(Startup, StartTimeIsFixedDuringStartUp) {
    SimPlatform sim;
    sim.clock().SetLocalTime({2026, 12, 6, 14, 3, 9});
    sim.clock().SetUptimeMs(0);
    Wakewatch program(sim.ports());
    program.Start();
    sim.clock().SetLocalTime({2031, 5, 5, 5, 5, 5});
    program.TrayForm().MainWindow().Show();
    EXPECT_EQ(sim.mainWindow().GetText(platform::MainControl::txtStartTime),
              "up since 06-Dec-26 2:03:09 pm");
}

TEST(Startup, SecondInstanceShowsTheWarningAndChangesNothing) {
    SimPlatform sim;
    sim.instance().SetPrevInstance(true);
    sim.systemParameters().SetSaverActive(0);  // the first instance switched it off
    Wakewatch program(sim.ports());
    program.Start();

    ASSERT_EQ(sim.dialogs().Shown().size(), 1u);
    const auto& box = sim.dialogs().Shown()[0];
    EXPECT_EQ(box.text,
              "An instance of Wakewatch is already running.\r\n"
              "Shut it down before attempting to start another instance.");
    EXPECT_EQ(box.style, 48u);
    EXPECT_EQ(box.title, "Wakewatch");
    EXPECT_TRUE(sim.eventLoop().Ended());
    // No mutex, no hook, no icon request, no screen-saver change, no timer.
    for (const char* call : {"CreateMutexA", "SetWindowLongA", "Shell_NotifyIconA",
                             "SystemParametersInfoA", "SetTimer", "Reg"}) {
        EXPECT_EQ(sim.log().Count(call), 0u) << call;
    }
    EXPECT_EQ(sim.systemParameters().SaverActive(), 0);
}

// A signal or the session's end closes the form while the box is open.
TEST(Startup, SecondInstanceClosedWhileItsBoxIsOpenChangesNothing) {
    SimPlatform sim;
    sim.instance().SetPrevInstance(true);
    sim.systemParameters().SetSaverActive(0);
    sim.dialogs().SetWhileOpen([&](const auto&) { EXPECT_TRUE(sim.forms().CloseTrayForm()); });
    Wakewatch program(sim.ports());
    program.Start();
    EXPECT_TRUE(sim.eventLoop().Ended());
    for (const char* call : {"SetWindowLongA", "Shell_NotifyIconA", "SystemParametersInfoA"}) {
        EXPECT_EQ(sim.log().Count(call), 0u) << call;
    }
    EXPECT_EQ(sim.systemParameters().SaverActive(), 0);
}

TEST(Startup, TicksCannotRunWhileTheDuplicateBoxIsOpen) {
    SimPlatform sim;
    sim.instance().SetPrevInstance(true);
    sim.dialogs().SetWhileOpen([&](const auto&) { sim.clock().AdvanceMs(2'000); });
    Wakewatch program(sim.ports());
    program.Start();
    EXPECT_EQ(sim.log().Count("Shell_NotifyIconA"), 0u);
}

struct PopupCase {
    const char* name;
    const char* command;
    bool opens;
};

class PopupOptionTest : public ::testing::TestWithParam<PopupCase> {};

TEST_P(PopupOptionTest, ComparesTheWholeArgumentTextInUpperCase) {
    EXPECT_EQ(IsPopupOption(GetParam().command), GetParam().opens);
}

INSTANTIATE_TEST_SUITE_P(Arguments, PopupOptionTest,
                         ::testing::Values(PopupCase{"UpperCase", "-POPUP", true},
                                           PopupCase{"LowerCase", "-popup", true},
                                           PopupCase{"MixedCase", "-PopUp", true},
                                           PopupCase{"Empty", "", false},
                                           PopupCase{"FollowedByMore", "-POPUP now", false},
                                           PopupCase{"Slash", "/POPUP", false},
                                           PopupCase{"Quoted", "\"-POPUP\"", false},
                                           PopupCase{"LeadingBlank", " -POPUP", false},
                                           PopupCase{"LongerWord", "-POPUPX", false}),
                         cases::CaseName{});

struct ShutdownCase {
    const char* name;
    bool viaPlatform;
};

class ShutdownTest : public ::testing::TestWithParam<ShutdownCase> {};

TEST_P(ShutdownTest, SwitchesSaverOnRemovesIconUnhooksAndEnds) {
    SimPlatform sim;
    Wakewatch program(sim.ports());
    program.Start();
    program.Shared().ScreenSaverDisabled = true;  // not consulted at shutdown
    sim.log().Clear();
    if (GetParam().viaPlatform) {
        sim.forms().CloseTrayForm();
    } else {
        program.TrayForm().menuExit_Click();
    }
    const auto calls = StartupCalls(sim.log());
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], "SystemParametersInfoA(17");
    EXPECT_EQ(calls[1], "Shell_NotifyIconA(NIM_DELETE");
    EXPECT_EQ(calls[2], "SetWindowLongA(" + std::to_string(program.TrayForm().FormWindow()));
    EXPECT_EQ(calls.back(), "End");
    EXPECT_EQ(sim.notifyIcon().OnlyIcon(), nullptr);
    EXPECT_EQ(sim.systemParameters().SaverActive(), 1);
    EXPECT_TRUE(sim.eventLoop().Ended());
    sim.log().Clear();
    sim.clock().AdvanceMs(2'000);
    EXPECT_EQ(sim.log().Count("Shell_NotifyIconA"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Paths, ShutdownTest,
                         ::testing::Values(ShutdownCase{"ExitCommand", false},
                                           ShutdownCase{"PlatformClose", true}),
                         cases::CaseName{});

}  // namespace
}  // namespace ww::core
