#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace ww::settings {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
namespace regtype = platform::regtype;

class SettingsStoreTest : public ::testing::Test {
  protected:
    void Start() {
        MigrateLegacySettings(reg_);
        LoadSettings(reg_, flags_);
        EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u);
    }
    platform::SimRegistry& store() { return sim_.registry(); }
    bool HasRunValue(platform::HKey root) {
        return store().GetValue(root, RunKey(), "Wakewatch").has_value();
    }

    platform::SimPlatform sim_;
    RegistryAccess reg_{sim_.ports().registry};
    StoredFlags flags_;
};

TEST_F(SettingsStoreTest, KeyPaths) {
    EXPECT_EQ(SettingsKey(), "Software\\Wakewatch\\Settings");
    EXPECT_EQ(RunKey(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

TEST_F(SettingsStoreTest, FreshSystemWritesNothingAndLoadsDefaults) {
    Start();
    EXPECT_EQ(flags_.HotCornersEnabled, 0);
    EXPECT_EQ(flags_.AutoStartCurrentUser, 0);
    EXPECT_EQ(flags_.AutoStartAllUsers, 0);
    EXPECT_EQ(sim_.log().Count("RegCreateKeyA") + sim_.log().Count("RegSetValueExA") +
                  sim_.log().Count("RegDelete"),
              0u);
}

TEST_F(SettingsStoreTest, LegacyHotCornersMoveToTheMachineAndOldKeysGo) {
    store().SetDword(kHkeyCurrentUser, SettingsKey(), "SleeperActive", 1);
    Start();
    EXPECT_EQ(store().GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners"),
              (platform::SimRegistry::Value{regtype::kDword, {1, 0, 0, 0}}));
    EXPECT_FALSE(store().KeyExists(kHkeyCurrentUser, "Software\\Wakewatch"));
    EXPECT_TRUE(store().KeyExists(kHkeyCurrentUser, "Software"));
    EXPECT_EQ(flags_.HotCornersEnabled, 1);  // migrated before it is read
}

TEST_F(SettingsStoreTest, LegacyValueStaysUntilItsCopyIsStoredAndTheNextStartRetries) {
    struct Case {
        const char* name;
        std::function<void(platform::SimRegistry&)> failure;
    };
    const std::vector<Case> cases = {
        {"no rights", [](auto& r) { r.SetWriteProtected(kHkeyLocalMachine, true); }},
        {"key not created", [](auto& r) { r.FailNext("RegCreateKeyA", 13); }},
        {"value not set", [](auto& r) { r.FailNext("RegSetValueExA", 29); }},
    };
    for (const auto& c : cases) {
        platform::SimPlatform sim;
        auto& store = sim.registry();
        RegistryAccess reg(sim.ports().registry);
        store.SetDword(kHkeyCurrentUser, SettingsKey(), "SleeperActive", 1);
        c.failure(store);
        MigrateLegacySettings(reg);
        EXPECT_FALSE(store.GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners")) << c.name;
        EXPECT_TRUE(store.GetValue(kHkeyCurrentUser, SettingsKey(), "SleeperActive")) << c.name;

        store.SetWriteProtected(kHkeyLocalMachine, false);
        StoredFlags flags;
        MigrateLegacySettings(reg);
        LoadSettings(reg, flags);
        EXPECT_EQ(flags.HotCornersEnabled, 1) << c.name;
        EXPECT_FALSE(store.KeyExists(kHkeyCurrentUser, "Software\\Wakewatch")) << c.name;
        EXPECT_EQ(store.OpenKeyCount(), 0u) << c.name;
    }
}

TEST_F(SettingsStoreTest, LegacyKeysWithOtherContentStay) {
    store().SetDword(kHkeyCurrentUser, SettingsKey(), "SleeperActive", 0);
    store().CreateKey(kHkeyCurrentUser, "Software\\Wakewatch\\Other");
    Start();
    EXPECT_FALSE(store().KeyExists(kHkeyCurrentUser, SettingsKey()));
    EXPECT_TRUE(store().KeyExists(kHkeyCurrentUser, "Software\\Wakewatch\\Other"));
    EXPECT_EQ(store().GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners")->bytes,
              (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(SettingsStoreTest, LegacyTextValueIsNeitherMigratedNorDeleted) {
    store().SetString(kHkeyCurrentUser, SettingsKey(), "SleeperActive", "1");
    Start();
    EXPECT_FALSE(store().GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners"));
    EXPECT_TRUE(store().GetValue(kHkeyCurrentUser, SettingsKey(), "SleeperActive"));
    EXPECT_EQ(sim_.log().Count("RegDelete"), 0u);
}

TEST_F(SettingsStoreTest, LegacyNumberIsCopiedUnchangedEvenOutsideTheFlagRange) {
    store().SetDword(kHkeyCurrentUser, SettingsKey(), "SleeperActive", 300);
    Start();
    EXPECT_EQ(store().GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners")->bytes,
              (std::vector<std::uint8_t>{0x2C, 0x01, 0, 0}));
    EXPECT_EQ(flags_.HotCornersEnabled, 0);
}

TEST_F(SettingsStoreTest, HotCornersLoadOnlyFromANumberThatFitsTheFlag) {
    struct Case {
        std::optional<std::uint32_t> stored;  // none: the value is absent
        std::uint8_t flag;
    };
    for (const Case c : {Case{std::nullopt, 0}, Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{255, 255},
                         Case{256, 0}, Case{257, 0}, Case{0xFFFFFFFF, 0}}) {
        platform::SimPlatform sim;
        if (c.stored) {
            sim.registry().SetDword(kHkeyLocalMachine, SettingsKey(), "HotCorners", *c.stored);
        }
        RegistryAccess reg(sim.ports().registry);
        StoredFlags flags;
        flags.HotCornersEnabled = 9;
        LoadSettings(reg, flags);
        EXPECT_EQ(flags.HotCornersEnabled, c.flag) << (c.stored ? *c.stored : -1u);
    }
    store().SetString(kHkeyLocalMachine, SettingsKey(), "HotCorners", "1");
    Start();
    EXPECT_EQ(flags_.HotCornersEnabled, 0);
}

TEST_F(SettingsStoreTest, HotCornersAreStoredWhereTheyAreReadFrom) {
    for (const std::int32_t value : {1, 0}) {
        SCOPED_TRACE(value);
        EXPECT_TRUE(StoreHotCorners(reg_, value));
        EXPECT_EQ(StoredHotCorners(reg_), value);
        const auto stored = store().GetValue(kHkeyLocalMachine, SettingsKey(), "HotCorners");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, regtype::kDword);
    }
    EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u);

    // An ordinary user may not write there: false, and the stored value stays.
    store().SetWriteProtected(kHkeyLocalMachine, true);
    EXPECT_FALSE(StoreHotCorners(reg_, 1));
    EXPECT_EQ(StoredHotCorners(reg_), 0);
}

// What an automatic-start value holds before start-up.
enum class Entry { Absent, Empty, EmptyNul, Path, LongPath, Expandable, Number };

void Seed(platform::SimRegistry& store, platform::HKey root, Entry run) {
    const auto key = RunKey();
    switch (run) {
        case Entry::Absent:
            break;
        case Entry::Empty:
            store.SetString(root, key, "Wakewatch", "");
            break;
        case Entry::EmptyNul:
            store.SetValue(root, key, "Wakewatch", regtype::kSz, {0});
            break;
        case Entry::Path:
            store.SetString(root, key, "Wakewatch", "C:\\Tools\\Wakewatch.exe");
            break;
        case Entry::LongPath:
            store.SetString(root, key, "Wakewatch", std::string(1025, 'p'));
            break;
        case Entry::Expandable:
            store.SetValue(root, key, "Wakewatch", regtype::kExpandSz, {});
            break;
        case Entry::Number:
            store.SetDword(root, key, "Wakewatch", 0);
            break;
    }
}

TEST_F(SettingsStoreTest, RunEntriesEmptyOrDoubledAreTidiedAndTheRestCounts) {
    struct Case {
        const char* label;
        Entry allUsers;
        Entry currentUser;
        bool allUsersKept;
        bool currentUserKept;
    };
    const std::vector<Case> cases = {
        {"none", Entry::Absent, Entry::Absent, false, false},
        {"all users empty", Entry::Empty, Entry::Absent, false, false},
        {"all users one NUL", Entry::EmptyNul, Entry::Absent, false, false},
        {"current user empty", Entry::Absent, Entry::Empty, false, false},
        {"both paths", Entry::Path, Entry::Path, true, false},
        {"all users only", Entry::Path, Entry::Absent, true, false},
        {"current user only", Entry::Absent, Entry::Path, false, true},
        {"empty all users leaves current user", Entry::Empty, Entry::Path, false, true},
        {"empty current user beside all users", Entry::Path, Entry::Empty, true, false},
        {"all users too long to read", Entry::LongPath, Entry::Path, true, true},
        {"other type is not empty", Entry::Expandable, Entry::Absent, true, false},
        {"other type still doubles", Entry::Expandable, Entry::Path, true, false},
        {"current user other type", Entry::Absent, Entry::Expandable, false, true},
        {"number zero is not empty", Entry::Path, Entry::Number, true, false},
    };
    for (const auto& c : cases) {
        platform::SimPlatform sim;
        Seed(sim.registry(), kHkeyLocalMachine, c.allUsers);
        Seed(sim.registry(), kHkeyCurrentUser, c.currentUser);
        RegistryAccess reg(sim.ports().registry);
        StoredFlags flags;
        MigrateLegacySettings(reg);
        LoadSettings(reg, flags);
        const bool allUsers =
            sim.registry().GetValue(kHkeyLocalMachine, RunKey(), "Wakewatch").has_value();
        const bool currentUser =
            sim.registry().GetValue(kHkeyCurrentUser, RunKey(), "Wakewatch").has_value();
        EXPECT_EQ(allUsers, c.allUsersKept) << c.label;
        EXPECT_EQ(currentUser, c.currentUserKept) << c.label;
        const bool allUsersReadable = allUsers && c.allUsers != Entry::LongPath;
        EXPECT_EQ(flags.AutoStartAllUsers, allUsersReadable ? 1 : 0) << c.label;
        EXPECT_EQ(flags.AutoStartCurrentUser, currentUser ? 1 : 0) << c.label;
        EXPECT_EQ(sim.registry().OpenKeyCount(), 0u) << c.label;
    }
}

TEST_F(SettingsStoreTest, CurrentUserEntryIsReadForTheDoubleOnlyWhenAllUsersExists) {
    const std::string openCurrentUser = "RegOpenKeyA(HKCU, " + RunKey() + ")";
    Seed(store(), kHkeyCurrentUser, Entry::Path);
    MigrateLegacySettings(reg_);
    EXPECT_EQ(sim_.log().Count(openCurrentUser), 1u);

    sim_.log().Clear();
    Seed(store(), kHkeyLocalMachine, Entry::Path);
    MigrateLegacySettings(reg_);
    // the empty test, the double test and the delete
    EXPECT_EQ(sim_.log().Count(openCurrentUser), 3u);
    EXPECT_FALSE(HasRunValue(kHkeyCurrentUser));
    EXPECT_TRUE(HasRunValue(kHkeyLocalMachine));
}

}  // namespace
}  // namespace ww::settings
