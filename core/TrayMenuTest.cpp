#include "core/TrayMenuCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/FrmSysTray.h"
#include "core/Wakewatch.h"
#include "platform/sim/SimPlatform.h"
#include "settings/SettingsStore.h"
#include "tray/TrayPopup.h"

namespace ww::core {
namespace {

using platform::MainControl;
using platform::SimPlatform;
using platform::SimTrayMenu;
namespace menu = tray::menu;

constexpr std::intptr_t kDoubleClick = 0x203;
constexpr std::intptr_t kRightPress = 0x204;

class TrayMenuTest : public ::testing::Test {
  protected:
    TrayMenuTest() : program(sim.ports()) {
        sim.systemParameters().SetSaverActive(1);
        program.Start();
        sim.log().Clear();
    }

    SharedState& Shared() { return program.Shared(); }
    ui::FrmMain& Main() { return program.TrayForm().MainWindow(); }

    // Right press on the icon, choosing `item` (0: none) from the menu.
    const SimTrayMenu::Snapshot& OpenMenu(int item = 0) {
        sim.trayMenu().ChooseOnNextPopup(item);
        sim.notifyIcon().ClickIcon(kRightPress);
        return sim.trayMenu().Popups().back();
    }

    std::optional<std::uint32_t> StoredHotCorners() {
        const auto value = sim.registry().GetValue(platform::kHkeyLocalMachine,
                                                   settings::SettingsKey(), "HotCorners");
        if (!value || value->bytes.size() != 4) {
            return std::nullopt;
        }
        return value->bytes[0];
    }

    // Log entries with these prefixes, in order, cut at their first "(".
    std::vector<std::string> Calls(std::initializer_list<const char*> prefixes) {
        std::vector<std::string> calls;
        for (const auto& entry : sim.log().Entries()) {
            for (const char* prefix : prefixes) {
                if (entry.starts_with(prefix)) {
                    calls.push_back(entry);
                }
            }
        }
        return calls;
    }

    SimPlatform sim;
    Wakewatch program;
};

TEST_F(TrayMenuTest, MenuHasItsItemsAndRestoreAsDefault) {
    std::vector<std::string> captions;
    for (const auto& item : sim.trayMenu().Items()) {
        captions.push_back(item.caption);
    }
    const std::vector<std::string> expected = {"&Restore Wakewatch...",
                                               "-",
                                               "Enable &Hot Corners",
                                               "-",
                                               "&Start Screen Saver...",
                                               "&Disable Screen Saver",
                                               "&Configure Screen Saver...",
                                               "-",
                                               "E&xit Wakewatch"};
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(sim.trayMenu().DefaultId(), menu::menuRestore);
}

TEST_F(TrayMenuTest, OnlyDoubleClickAndRightPressDoAnything) {
    const struct {
        std::intptr_t code;
        int popups;
        bool window;
    } cases[] = {
        {0x200, 0, false},  // move
        {0x201, 0, false},  // left press
        {0x202, 0, false},  // left release (a single click)
        {0x204, 1, false},  // right press
        {0x205, 0, false},  // right release
        {0x206, 0, false},  // right double-click
        {0x203, 0, true},   // left double-click
    };
    for (const int twipsPerPixel : {15, 12, 1}) {
        SCOPED_TRACE(twipsPerPixel);
        SimPlatform s;
        s.forms().SetTwipsPerPixelX(twipsPerPixel);
        Wakewatch p(s.ports());
        p.Start();
        for (const auto& c : cases) {
            SCOPED_TRACE(c.code);
            const std::size_t popups = s.trayMenu().Popups().size();
            s.notifyIcon().ClickIcon(c.code);
            EXPECT_EQ(s.trayMenu().Popups().size(), popups + static_cast<std::size_t>(c.popups));
            EXPECT_EQ(p.TrayForm().MainWindow().Loaded(), c.window);
        }
    }
}

TEST_F(TrayMenuTest, ChecksAndGreysAreWorkedOutAtEachOpening) {
    const struct {
        std::int32_t saverActive;
        std::uint8_t hotCorners;
        bool saverDisabled;
        bool hotChecked, hotEnabled, startEnabled, disableChecked;
    } cases[] = {
        {1, 0, false, false, true, true, false}, {1, 1, false, true, true, true, false},
        {1, 2, false, false, true, true, false},  // only exactly 1 shows checked
        {0, 1, false, true, true, false, false},  // no active saver: nothing to start
        {0, 1, true, true, false, false, true},
    };
    for (const auto& c : cases) {
        sim.systemParameters().SetSaverActive(c.saverActive);
        Shared().HotCornersEnabled = c.hotCorners;
        Shared().ScreenSaverDisabled = c.saverDisabled;
        const auto& shown = OpenMenu();
        EXPECT_EQ(shown.at(menu::menuHotCorners).checked, c.hotChecked);
        EXPECT_EQ(shown.at(menu::menuHotCorners).enabled, c.hotEnabled);
        EXPECT_EQ(shown.at(menu::menuStartSSaver).enabled, c.startEnabled);
        EXPECT_EQ(shown.at(menu::menuDisableSSaver).checked, c.disableChecked);
    }
}

TEST_F(TrayMenuTest, HotCornersAreGreyedWhereTheDesktopHidesTheCorners) {
    sim.cursorScreen().SetCanWatchCorners(false);
    sim.systemParameters().SetSaverActive(1);
    for (const std::uint8_t hotCorners : {std::uint8_t{0}, std::uint8_t{1}}) {
        SCOPED_TRACE(static_cast<int>(hotCorners));
        Shared().HotCornersEnabled = hotCorners;
        const auto& shown = OpenMenu();
        EXPECT_FALSE(shown.at(menu::menuHotCorners).enabled);
        EXPECT_EQ(shown.at(menu::menuHotCorners).checked, hotCorners == 1);
        // The screen saver's own items do not depend on the corners.
        EXPECT_TRUE(shown.at(menu::menuStartSSaver).enabled);
        EXPECT_TRUE(shown.at(menu::menuDisableSSaver).enabled);
    }
}

TEST_F(TrayMenuTest, DisableScreenSaverIsGreyedWhereNothingCanHoldTheSaverOff) {
    const struct {
        const char* name;
        bool canSwitchOff;
        bool saverDisabled;
        bool enabled;
    } cases[] = {
        {"CanHold", true, false, true},
        {"CanHoldAndHeld", true, true, true},
        {"NoWayToHold", false, false, false},
        // Held before the way went: the check can still be taken back.
        {"NoWayToHoldButHeld", false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.systemParameters().SetCanSwitchOff(c.canSwitchOff);
        Shared().ScreenSaverDisabled = c.saverDisabled;
        const auto& shown = OpenMenu();
        EXPECT_EQ(shown.at(menu::menuDisableSSaver).enabled, c.enabled);
        EXPECT_EQ(shown.at(menu::menuDisableSSaver).checked, c.saverDisabled);
    }
}

// A saver without settings greys the entry, and it comes back with a saver
// that has some (the session's saver changed while the program ran).
TEST_F(TrayMenuTest, ConfigureIsGreyedWhileTheSaverHasNoSettings) {
    const struct {
        const char* name;
        bool noSettings;
    } steps[] = {{"WithSettings", false},
                 {"WithoutSettings", true},
                 {"StillWithout", true},
                 {"BackAgain", false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        sim.shell().SetNoSettings(step.noSettings);
        OpenMenu();
        EXPECT_EQ(sim.trayMenu().State(menu::menuConfigSSaver).enabled, !step.noSettings);
    }
    // A greyed entry cannot be chosen from a host's own menu either.
    sim.shell().SetNoSettings(true);
    OpenMenu();
    EXPECT_FALSE(sim.trayMenu().Choose(menu::menuConfigSSaver));
    EXPECT_EQ(sim.shell().SettingsOpened(), 0);
}

TEST_F(TrayMenuTest, RightPressAsksTheSaverBringsTheFormForwardThenPopsUp) {
    OpenMenu();
    const auto calls =
        Calls({"SystemParametersInfoA", "SetItemState", "SetForegroundWindow", "PopupMenu"});
    ASSERT_EQ(calls.size(), 6U);
    EXPECT_TRUE(calls[0].starts_with("SystemParametersInfoA(16"));
    EXPECT_EQ(calls[4],
              "SetForegroundWindow(" + std::to_string(program.TrayForm().FormWindow()) + ")");
    EXPECT_EQ(calls[5], "PopupMenu");
}

TEST_F(TrayMenuTest, HotCornersToggleIsInForceAtOnceAndAFailedStoreIsSaid) {
    const struct {
        const char* name;
        std::uint8_t before;
        bool protectedStore;
        bool windowLoaded;
        std::uint8_t after;
        std::optional<std::uint32_t> stored;
    } cases[] = {
        {"off to on", 0, false, false, 1, 1},
        {"on to off", 1, false, false, 0, 0},
        {"stored 2 shows unchecked, so on", 2, false, false, 1, 1},
        {"without rights it is still in force", 0, true, false, 1, std::nullopt},
        {"without rights the open window follows too", 0, true, true, 1, std::nullopt},
        {"the open window follows", 0, false, true, 1, 1},
        {"the open window follows back", 1, false, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimPlatform s;
        s.registry().SetWriteProtected(platform::kHkeyLocalMachine, c.protectedStore);
        Wakewatch p(s.ports());
        p.Start();
        p.Shared().HotCornersEnabled = c.before;
        if (c.windowLoaded) {
            p.TrayForm().MainWindow().Show();
        }
        s.trayMenu().ChooseOnNextPopup(menu::menuHotCorners);
        s.notifyIcon().ClickIcon(kRightPress);
        EXPECT_EQ(p.Shared().HotCornersEnabled, c.after);
        const auto value = s.registry().GetValue(platform::kHkeyLocalMachine,
                                                 settings::SettingsKey(), "HotCorners");
        EXPECT_EQ(value ? std::optional<std::uint32_t>(value->bytes[0]) : std::nullopt, c.stored);
        EXPECT_EQ(p.TrayForm().MainWindow().Loaded(), c.windowLoaded);
        if (c.windowLoaded) {
            EXPECT_EQ(s.mainWindow().GetCheck(MainControl::chkHotCorners), c.after);
        }
        if (c.protectedStore) {
            ASSERT_EQ(s.dialogs().Shown().size(), 1U);
            EXPECT_EQ(s.dialogs().Shown()[0].text,
                      "These settings could not be saved:\r\nEnable Hot Corners\r\n"
                      "They apply until Wakewatch ends.");
            EXPECT_EQ(s.dialogs().Shown()[0].style, 48U);
            EXPECT_EQ(s.dialogs().Shown()[0].title, "Wakewatch");
        } else {
            EXPECT_TRUE(s.dialogs().Shown().empty());
        }
    }
}

TEST_F(TrayMenuTest, DisablingTheSaverTwiceRestoresSettingAndPictureAtOnce) {
    Shared().HotCornersEnabled = 1;
    sim.clock().AdvanceMs(400);
    const tray::TrayPicture before = program.TrayForm().Tray().Picture();

    OpenMenu(menu::menuDisableSSaver);
    EXPECT_TRUE(Shared().ScreenSaverDisabled);
    EXPECT_EQ(sim.systemParameters().SaverActive(), 0);
    EXPECT_EQ(program.TrayForm().Tray().Picture(), tray::TrayPicture::imgDisable_none);
    // Switched off here: the saver cannot be started nor the corners toggled.
    const auto& shown = OpenMenu();
    EXPECT_TRUE(shown.at(menu::menuDisableSSaver).checked);
    EXPECT_FALSE(shown.at(menu::menuHotCorners).enabled);
    EXPECT_FALSE(shown.at(menu::menuStartSSaver).enabled);

    OpenMenu(menu::menuDisableSSaver);
    EXPECT_FALSE(Shared().ScreenSaverDisabled);
    EXPECT_EQ(sim.systemParameters().SaverActive(), 1);
    EXPECT_EQ(program.TrayForm().Tray().Picture(), before);
}

TEST_F(TrayMenuTest, ASaverTheSystemWillNotSwitchOffStaysOnAndIsSaid) {
    sim.systemParameters().SetFails(true);
    OpenMenu(menu::menuDisableSSaver);
    EXPECT_FALSE(Shared().ScreenSaverDisabled);
    ASSERT_EQ(sim.dialogs().Shown().size(), 1U);
    EXPECT_EQ(sim.dialogs().Shown()[0].text, "The screen saver could not be switched off.");
    EXPECT_EQ(sim.dialogs().Shown()[0].style, 48U);
    sim.systemParameters().SetFails(false);
    EXPECT_FALSE(OpenMenu().at(menu::menuDisableSSaver).checked);
}

// A host that shows the menu without asking first shows the states the
// program keeps current: changed by a command, by the bottom-right corner or
// by the settings page, they follow within a tick; a saver that stops outside
// is followed within kRecheckTicks.
TEST_F(TrayMenuTest, UnaskedHostsSeeTheStatesFollowBetweenOpenings) {
    sim.trayMenu().SetShownWithoutAsking(true);
    Shared().HotCornersEnabled = 1;
    sim.cursorScreen().SetScreenSize(1024, 768);
    sim.cursorScreen().SetCursor(500, 300);
    sim.clock().AdvanceMs(400);
    const auto state = [&](int id) { return sim.trayMenu().State(id); };
    EXPECT_TRUE(state(menu::menuHotCorners).checked);
    EXPECT_TRUE(state(menu::menuStartSSaver).enabled);

    // "Disable Screen Saver" from the menu: checked, the rest greyed.
    ASSERT_TRUE(sim.trayMenu().Choose(menu::menuDisableSSaver));
    sim.clock().AdvanceMs(400);
    EXPECT_TRUE(state(menu::menuDisableSSaver).checked);
    EXPECT_FALSE(state(menu::menuHotCorners).enabled);
    EXPECT_FALSE(state(menu::menuStartSSaver).enabled);
    ASSERT_TRUE(sim.trayMenu().Choose(menu::menuDisableSSaver));
    sim.clock().AdvanceMs(400);
    EXPECT_FALSE(state(menu::menuDisableSSaver).checked);
    EXPECT_TRUE(state(menu::menuStartSSaver).enabled);

    // Resting bottom right holds the saver off: Start greys, and comes back.
    sim.cursorScreen().SetCursor(1023, 767);
    sim.clock().AdvanceMs(800);
    EXPECT_FALSE(state(menu::menuStartSSaver).enabled);
    sim.cursorScreen().SetCursor(500, 300);
    sim.clock().AdvanceMs(400);
    EXPECT_TRUE(state(menu::menuStartSSaver).enabled);

    // The settings page turns the corners off.
    Shared().HotCornersEnabled = 0;
    sim.clock().AdvanceMs(400);
    EXPECT_FALSE(state(menu::menuHotCorners).checked);

    // The saver goes away outside the program.
    sim.systemParameters().SetSaverActive(0);
    sim.clock().AdvanceMs(400 * (TrayMenuCommands::kRecheckTicks - 1));
    EXPECT_TRUE(state(menu::menuStartSSaver).enabled);
    sim.clock().AdvanceMs(400);
    EXPECT_FALSE(state(menu::menuStartSSaver).enabled);
    EXPECT_TRUE(sim.trayMenu().Popups().empty());
}

TEST_F(TrayMenuTest, AMenuOnlyTheProgramShowsIsSetOnlyWhenItOpens) {
    sim.clock().AdvanceMs(400 * 2 * TrayMenuCommands::kRecheckTicks);
    ASSERT_TRUE(sim.trayMenu().Choose(menu::menuDisableSSaver));
    sim.clock().AdvanceMs(400);
    EXPECT_TRUE(Calls({"SetItemState"}).empty());
}

TEST_F(TrayMenuTest, StartAndConfigureTheSaver) {
    OpenMenu(menu::menuStartSSaver);
    EXPECT_EQ(sim.systemParameters().ScreenSaverStarts(), 1);

    OpenMenu(menu::menuConfigSSaver);
    EXPECT_EQ(sim.shell().SettingsOpened(), 1);
    EXPECT_TRUE(sim.dialogs().Shown().empty());

    sim.shell().SetOpenSettingsFails(true);
    OpenMenu(menu::menuConfigSSaver);
    ASSERT_EQ(sim.dialogs().Shown().size(), 1U);
    EXPECT_EQ(sim.dialogs().Shown()[0].text, "The screen saver settings could not be opened.");
    EXPECT_EQ(sim.dialogs().Shown()[0].style, 48U);
    EXPECT_EQ(sim.dialogs().Shown()[0].title, "Wakewatch");
}

// Configure clicked again and again with no settings tool: each box stays
// the only one, brought to the front; so does every other tray action.
TEST_F(TrayMenuTest, WhileABoxIsOpenTheTrayOnlyBringsItForward) {
    sim.shell().SetOpenSettingsFails(true);
    int inside = 0;
    sim.dialogs().SetWhileOpen([&](const auto&) {
        if (inside++ > 0) {
            return;  // a nested box: the fault itself
        }
        // The host's own menu (a StatusNotifierItem host shows it by itself).
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(sim.trayMenu().Choose(menu::menuConfigSSaver));
        }
        sim.notifyIcon().ClickIcon(kDoubleClick);
        sim.notifyIcon().ClickIcon(kRightPress);
        EXPECT_TRUE(sim.trayMenu().Choose(menu::menuStartSSaver));
    });
    OpenMenu(menu::menuConfigSSaver);
    EXPECT_EQ(sim.dialogs().Shown().size(), 1U);
    EXPECT_EQ(sim.log().Count("OpenScreenSaverSettings"), 1U);
    EXPECT_EQ(sim.trayMenu().Popups().size(), 1U);
    EXPECT_FALSE(sim.mainWindow().Shown());
    EXPECT_EQ(sim.systemParameters().ScreenSaverStarts(), 0);
    EXPECT_EQ(sim.log().Count("RaiseOpenBox"), 23U);

    // Closed, the tray works again.
    sim.dialogs().SetWhileOpen({});
    sim.notifyIcon().ClickIcon(kDoubleClick);
    EXPECT_TRUE(sim.mainWindow().Shown());
}

TEST_F(TrayMenuTest, DoubleClickOpensTheWindowAndBringsItForward) {
    sim.notifyIcon().ClickIcon(kDoubleClick);
    ASSERT_TRUE(sim.mainWindow().Shown());
    const std::string mainWindow = std::to_string(sim.mainWindow().Window());
    EXPECT_EQ(
        Calls({"CreateMainWindow", "SetForegroundWindow", "ShowMainWindow"}),
        (std::vector<std::string>{"CreateMainWindow", "SetForegroundWindow(" + mainWindow + ")",
                                  "ShowMainWindow"}));

    // Minimised it went back to the tray; a double-click brings the same window back.
    sim.mainWindow().UserMinimize();
    ASSERT_FALSE(sim.mainWindow().Shown());
    sim.notifyIcon().ClickIcon(kDoubleClick);
    EXPECT_TRUE(sim.mainWindow().Shown());
    EXPECT_EQ(sim.mainWindow().GetWindowState(), platform::WindowState::Normal);
    EXPECT_EQ(sim.mainWindow().CreateCount(), 1);
}

TEST_F(TrayMenuTest, RestoreShowsThenBringsForward) {
    OpenMenu(menu::menuRestore);
    ASSERT_TRUE(sim.mainWindow().Shown());
    const std::string mainWindow = std::to_string(sim.mainWindow().Window());
    const auto calls = Calls({"ShowMainWindow", "SetForegroundWindow"});
    ASSERT_EQ(calls.size(), 3U);  // the tray form's before the menu, then restore's own
    EXPECT_EQ(calls[1], "ShowMainWindow");
    EXPECT_EQ(calls[2], "SetForegroundWindow(" + mainWindow + ")");
}

TEST_F(TrayMenuTest, ExitUnloadsTheWindowBeforeTheTrayForm) {
    OpenMenu(menu::menuRestore);
    sim.log().Clear();
    OpenMenu(menu::menuExit);
    const auto calls = Calls({"DestroyMainWindow", "Shell_NotifyIconA(NIM_DELETE", "End"});
    ASSERT_EQ(calls.size(), 3U);
    EXPECT_EQ(calls[0], "DestroyMainWindow");
    EXPECT_TRUE(calls[1].starts_with("Shell_NotifyIconA(NIM_DELETE"));
    EXPECT_EQ(calls[2], "End");
    EXPECT_TRUE(sim.eventLoop().Ended());
}

TEST_F(TrayMenuTest, GreyedItemsAndSeparatorsCannotBeChosen) {
    Shared().ScreenSaverDisabled = true;
    sim.systemParameters().SetSaverActive(0);
    OpenMenu();
    EXPECT_FALSE(sim.trayMenu().Choose(menu::menuHotCorners));
    EXPECT_FALSE(sim.trayMenu().Choose(menu::menuStartSSaver));
    EXPECT_FALSE(sim.trayMenu().Choose(menu::blankline));
    EXPECT_EQ(sim.systemParameters().ScreenSaverStarts(), 0);
}

}  // namespace
}  // namespace ww::core
