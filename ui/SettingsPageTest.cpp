#include "ui/SettingsPage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/SettingsStore.h"
#include "ui/FrmMainTestSupport.h"

namespace ww::ui {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::MainControl;

constexpr MainControl kHot = MainControl::chkHotCorners;
constexpr MainControl kCurr = MainControl::chkAutoStartCurr;
constexpr MainControl kAll = MainControl::chkAutoStartAll;

struct Boxes {
    int hot, curr, all;
    bool operator==(const Boxes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Boxes& b) {
    return out << "{" << b.hot << ", " << b.curr << ", " << b.all << "}";
}

class SettingsPageTest : public ::testing::Test, public FrmMainFixture {
  protected:
    Boxes Shown() { return {Check(kHot), Check(kCurr), Check(kAll)}; }
    Boxes Flags() {
        return {stored.HotCornersEnabled, stored.AutoStartCurrentUser, stored.AutoStartAllUsers};
    }
    std::optional<std::string> RunValue(platform::HKey root) {
        const auto value = sim.registry().GetValue(root, settings::RunKey(), "Wakewatch");
        if (!value) {
            return std::nullopt;
        }
        return std::string(value->bytes.begin(), value->bytes.end());
    }
    // Flags and store as start-up would leave them.
    void Start(Boxes flags) {
        stored.HotCornersEnabled = static_cast<std::uint8_t>(flags.hot);
        stored.AutoStartCurrentUser = static_cast<std::uint8_t>(flags.curr);
        stored.AutoStartAllUsers = static_cast<std::uint8_t>(flags.all);
        sim.registry().SetDword(kHkeyLocalMachine, settings::SettingsKey(), "HotCorners",
                                static_cast<std::uint32_t>(flags.hot));
        if (flags.curr == 1) {
            sim.registry().SetString(kHkeyCurrentUser, settings::RunKey(), "Wakewatch", "old");
        }
        if (flags.all == 1) {
            sim.registry().SetString(kHkeyLocalMachine, settings::RunKey(), "Wakewatch", "old");
        }
        frm.Show();
        sim.log().Clear();
    }
    std::size_t RegistryChanges() {
        return sim.log().Count("RegSetValueExA") + sim.log().Count("RegDeleteValueA");
    }
};

TEST_F(SettingsPageTest, PageShowsTheFlagsWithOnlyOneStartBoxTicked) {
    const struct {
        Boxes flags;
        Boxes boxes;
    } cases[] = {
        {{0, 0, 0}, {0, 0, 0}}, {{1, 1, 0}, {1, 1, 0}}, {{0, 0, 1}, {0, 0, 1}},
        {{1, 1, 1}, {1, 0, 1}},  // the current-user box is set first, then unticked
        {{2, 0, 0}, {2, 0, 0}},  // a stored 2 shows greyed
        {{7, 1, 0}, {0, 1, 0}},  // no box state for 7: the box stays as it was
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.flags));
        stored.HotCornersEnabled = static_cast<std::uint8_t>(c.flags.hot);
        stored.AutoStartCurrentUser = static_cast<std::uint8_t>(c.flags.curr);
        stored.AutoStartAllUsers = static_cast<std::uint8_t>(c.flags.all);
        frm.Load();
        EXPECT_EQ(Shown(), c.boxes);
        frm.Unload();
    }
}

TEST_F(SettingsPageTest, WhereTheCornersAreHiddenTheHotCornersBoxIsGreyedAndThePageSaysWhy) {
    for (const bool watchable : {true, false}) {
        SCOPED_TRACE(watchable);
        sim.cursorScreen().SetCanWatchCorners(watchable);
        Start({1, 0, 0});
        EXPECT_EQ(View().Enabled(kHot), watchable);
        EXPECT_EQ(Check(kHot), 1) << "the stored setting is still shown";
        const std::string label = View().GetText(MainControl::Label3);
        EXPECT_EQ(label == SettingsPage::kNoCornersText, !watchable) << label;
        // A greyed box takes no click, so Apply has nothing to store.
        EXPECT_EQ(View().UserClick(kHot), watchable);
        View().UserClick(MainControl::btnApply);
        EXPECT_EQ(RegistryChanges(), watchable ? 1U : 0U);
        EXPECT_EQ(Flags(), (Boxes{watchable ? 0 : 1, 0, 0}));
        frm.Unload();
    }
}

TEST_F(SettingsPageTest, StartBoxesExcludeEachOther) {
    const struct {
        Boxes before;
        MainControl clicked;
        Boxes after;
    } cases[] = {
        {{0, 0, 1}, kCurr, {0, 1, 0}}, {{0, 1, 0}, kAll, {0, 0, 1}}, {{0, 1, 0}, kCurr, {0, 0, 0}},
        {{0, 0, 1}, kAll, {0, 0, 0}},  {{0, 0, 0}, kAll, {0, 0, 1}}, {{0, 1, 0}, kHot, {1, 1, 0}},
    };
    frm.Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.before) + " " + MainControlName(c.clicked));
        View().SetCheck(kHot, c.before.hot);
        View().SetCheck(kCurr, c.before.curr);
        View().SetCheck(kAll, c.before.all);
        View().UserClick(c.clicked);
        EXPECT_EQ(Shown(), c.after);
    }
}

TEST_F(SettingsPageTest, ApplyStoresOnlyWhatDiffers) {
    Start({0, 0, 0});
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(RegistryChanges(), 0U);

    View().UserClick(kHot);
    View().UserClick(kCurr);
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(Flags(), (Boxes{1, 1, 0}));
    EXPECT_EQ(sim.registry().GetValue(kHkeyLocalMachine, settings::SettingsKey(), "HotCorners"),
              (platform::SimRegistry::Value{platform::regtype::kDword, {1, 0, 0, 0}}));
    EXPECT_EQ(RunValue(kHkeyCurrentUser), "\"/opt/wakewatch/wakewatch\"");
    EXPECT_EQ(RunValue(kHkeyLocalMachine), std::nullopt);
    EXPECT_TRUE(frm.Loaded()) << "Apply leaves the window open";
    EXPECT_TRUE(sim.dialogs().Shown().empty());
}

TEST_F(SettingsPageTest, TheStartCommandIsTheProgramPathInQuotes) {
    const struct {
        std::string path, separator, name, extension, command;
    } cases[] = {
        {"C:\\Program Files\\Wakewatch", "\\", "Wakewatch", ".exe",
         "\"C:\\Program Files\\Wakewatch\\Wakewatch.exe\""},
        {"C:\\", "\\", "ww", ".exe", "\"C:\\\\ww.exe\""},  // the folder is taken as it is
        {"/home/me/my tools", "/", "wakewatch", "", "\"/home/me/my tools/wakewatch\""},
    };
    for (const auto& c : cases) {
        platform::AppFacts facts = sim.application().App();
        facts.path = c.path;
        facts.pathSeparator = c.separator;
        facts.exeName = c.name;
        facts.exeExtension = c.extension;
        sim.application().SetFacts(facts);
        EXPECT_EQ(frm.Settings().ExecutablePath(), c.command);
    }
    Start({0, 0, 0});
    View().UserClick(kAll);
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(RunValue(kHkeyLocalMachine), "\"/home/me/my tools/wakewatch\"");
}

TEST_F(SettingsPageTest, BothStartEntriesAtStartAndOkDropsTheCurrentUsersOne) {
    Start({0, 1, 1});
    View().UserClick(MainControl::btnOK);
    EXPECT_EQ(Flags(), (Boxes{0, 0, 1}));
    EXPECT_EQ(RunValue(kHkeyCurrentUser), std::nullopt);
    EXPECT_EQ(RunValue(kHkeyLocalMachine), "old");
    EXPECT_FALSE(frm.Loaded());
}

TEST_F(SettingsPageTest, UntickingDeletesAndTickingAgainWritesTheCurrentPath) {
    Start({0, 0, 1});
    View().UserClick(kAll);
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(RunValue(kHkeyLocalMachine), std::nullopt);
    EXPECT_EQ(stored.AutoStartAllUsers, 0);
    View().UserClick(kAll);
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(RunValue(kHkeyLocalMachine), "\"/opt/wakewatch/wakewatch\"");
    EXPECT_EQ(stored.AutoStartAllUsers, 1);
}

TEST_F(SettingsPageTest, WhatCouldNotBeStoredIsNamedAndThePageShowsWhatIsInForce) {
    const struct {
        const char* name;
        Boxes start;
        std::vector<MainControl> clicks;
        Boxes flags;
        Boxes shown;          // after Apply
        std::string warning;  // empty: no box
    } cases[] = {
        {"all users without rights",
         {0, 0, 0},
         {kAll},
         {0, 0, 0},
         {0, 0, 0},
         "These settings could not be saved:\r\nAuto Load Wakewatch for All Users\r\n"
         "They keep their stored values."},
        {"hot corners and all users without rights, current user stored",
         {0, 0, 1},
         {kHot, kCurr},
         {0, 1, 1},
         {0, 0, 1},  // as the page opens with both entries there
         "These settings could not be saved:\r\nEnable Hot Corners\r\n"
         "Auto Load Wakewatch for All Users\r\nThey keep their stored values."},
        {"the current user's entry cannot be removed",
         {0, 1, 0},
         {kCurr},
         {0, 1, 0},
         {0, 1, 0},
         "These settings could not be saved:\r\nAuto Load Wakewatch for Current User\r\n"
         "They keep their stored values."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrmMainFixture f;
        f.stored.HotCornersEnabled = static_cast<std::uint8_t>(c.start.hot);
        f.stored.AutoStartCurrentUser = static_cast<std::uint8_t>(c.start.curr);
        f.stored.AutoStartAllUsers = static_cast<std::uint8_t>(c.start.all);
        if (c.start.curr == 1) {
            f.sim.registry().SetString(kHkeyCurrentUser, settings::RunKey(), "Wakewatch", "old");
        }
        if (c.start.all == 1) {
            f.sim.registry().SetString(kHkeyLocalMachine, settings::RunKey(), "Wakewatch", "old");
        }
        f.sim.registry().SetWriteProtected(kHkeyLocalMachine, true);
        f.sim.registry().SetWriteProtected(kHkeyCurrentUser, c.start.curr == 1);
        f.frm.Show();
        const Boxes shownBefore = {f.Check(kHot), f.Check(kCurr), f.Check(kAll)};
        for (const MainControl box : c.clicks) {
            f.View().UserClick(box);
        }
        const Boxes userBoxes = {f.Check(kHot), f.Check(kCurr), f.Check(kAll)};
        EXPECT_NE(userBoxes, shownBefore);
        f.View().UserClick(MainControl::btnApply);
        EXPECT_EQ((Boxes{f.stored.HotCornersEnabled, f.stored.AutoStartCurrentUser,
                         f.stored.AutoStartAllUsers}),
                  c.flags);
        EXPECT_EQ((Boxes{f.Check(kHot), f.Check(kCurr), f.Check(kAll)}), c.shown);
        if (c.warning.empty()) {
            EXPECT_TRUE(f.sim.dialogs().Shown().empty());
        } else {
            ASSERT_EQ(f.sim.dialogs().Shown().size(), 1U);
            EXPECT_EQ(f.sim.dialogs().Shown()[0].text, c.warning);
            EXPECT_EQ(f.sim.dialogs().Shown()[0].style, 48U);
            EXPECT_EQ(f.sim.dialogs().Shown()[0].title, "Wakewatch");
        }
    }
}

TEST_F(SettingsPageTest, RemovingAnEntryThatIsAlreadyGoneIsNoFailure) {
    Start({0, 1, 0});
    // Someone else removed it meanwhile.
    settings::RegistryAccess(sim.registry())
        .DeleteRegValue(kHkeyCurrentUser, settings::RunKey(), "Wakewatch");
    ASSERT_EQ(RunValue(kHkeyCurrentUser), std::nullopt);
    View().UserClick(kCurr);
    View().UserClick(MainControl::btnApply);
    EXPECT_EQ(stored.AutoStartCurrentUser, 0);
    EXPECT_TRUE(sim.dialogs().Shown().empty());
}

TEST_F(SettingsPageTest, CancelDropsChangesAndApplyBeforeCancelStays) {
    Start({0, 0, 0});
    View().UserClick(kHot);
    View().UserClick(MainControl::btnCancel);
    EXPECT_FALSE(frm.Loaded());
    EXPECT_EQ(RegistryChanges(), 0U);
    frm.Show();
    EXPECT_EQ(Check(kHot), 0) << "the page loads afresh from the flags";

    View().UserClick(kHot);
    View().UserClick(MainControl::btnApply);
    View().UserClick(MainControl::btnCancel);
    EXPECT_EQ(stored.HotCornersEnabled, 1);
    frm.Show();
    EXPECT_EQ(Check(kHot), 1);
}

}  // namespace
}  // namespace ww::ui
