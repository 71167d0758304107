#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/RegistryContract.h"
#include "platform/sim/SimPlatform.h"

namespace ww::platform {
namespace {

constexpr const char* kSettings = "Software\\Wakewatch\\Settings";

struct SimBackend {
    Registry& registry() { return sim.ports().registry; }
    std::size_t OpenKeyCount() { return sim.registry().OpenKeyCount(); }
    std::string TestKey() { return "Software\\WakewatchTest"; }
    SimPlatform sim;
};
INSTANTIATE_TYPED_TEST_SUITE_P(SimRegistry, RegistryContract, SimBackend);

class SimRegistryTest : public ::testing::Test {
  protected:
    Registry& reg() { return sim_.ports().registry; }
    SimPlatform sim_;
};

TEST_F(SimRegistryTest, CallsAreLoggedAndTheControlsSeeWhatTheyDid) {
    HKey key = 0;
    EXPECT_EQ(reg().RegOpenKeyA(kHkeyLocalMachine, kSettings, key), winerr::kFileNotFound);
    ASSERT_EQ(reg().RegCreateKeyA(kHkeyLocalMachine, kSettings, key), winerr::kSuccess);
    EXPECT_TRUE(sim_.registry().KeyExists(kHkeyLocalMachine, "SOFTWARE\\wakewatch"));
    EXPECT_FALSE(sim_.registry().KeyExists(kHkeyCurrentUser, "Software\\Wakewatch"));
    const std::uint8_t one[4] = {1, 0, 0, 0};
    ASSERT_EQ(reg().RegSetValueExA(key, "HotCorners", regtype::kSz, one, 1), 0);
    ASSERT_EQ(reg().RegSetValueExA(key, "HOTCORNERS", regtype::kDword, one, 4), 0);
    EXPECT_EQ(sim_.registry().GetValue(kHkeyLocalMachine, kSettings, "hotcorners"),
              (SimRegistry::Value{regtype::kDword, {1, 0, 0, 0}}));
    EXPECT_EQ(reg().RegCloseKey(key), 0);
    EXPECT_EQ(sim_.log().Entries().front(), "RegOpenKeyA(HKLM, Software\\Wakewatch\\Settings)");
    EXPECT_EQ(sim_.log().WithPrefix("RegSetValueExA")[1], "RegSetValueExA(HOTCORNERS, 4, 4)");

    // What the controls set, the port reads, and the other way round.
    sim_.registry().SetValue(kHkeyCurrentUser, kSettings, "Big", regtype::kSz,
                             std::vector<std::uint8_t>(1025, 'x'));
    sim_.registry().CreateKey(kHkeyCurrentUser, "Software\\Old\\Sub");
    ASSERT_EQ(reg().RegOpenKeyA(kHkeyCurrentUser, kSettings, key), 0);
    std::uint32_t size = 0;
    EXPECT_EQ(reg().RegQueryValueExA(key, "big", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 1025u);
    reg().RegCloseKey(key);
    EXPECT_EQ(reg().RegDeleteKeyA(kHkeyCurrentUser, "Software\\Old"), winerr::kAccessDenied);
    EXPECT_EQ(reg().RegDeleteKeyA(kHkeyCurrentUser, "Software\\Old\\Sub"), 0);
    EXPECT_EQ(reg().RegDeleteKeyA(kHkeyCurrentUser, "Software\\Old"), 0);
    EXPECT_FALSE(sim_.registry().KeyExists(kHkeyCurrentUser, "Software\\Old"));
    EXPECT_TRUE(sim_.registry().KeyExists(kHkeyCurrentUser, "Software"));
    EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u);
}

TEST_F(SimRegistryTest, ProtectedRootRefusesWritesButReads) {
    sim_.registry().SetDword(kHkeyLocalMachine, kSettings, "HotCorners", 1);
    sim_.registry().SetWriteProtected(kHkeyLocalMachine, true);
    HKey key = 0;
    EXPECT_EQ(reg().RegCreateKeyA(kHkeyLocalMachine, kSettings, key), winerr::kAccessDenied);
    ASSERT_EQ(reg().RegOpenKeyA(kHkeyLocalMachine, kSettings, key), 0);
    const std::uint8_t zero[4] = {};
    EXPECT_EQ(reg().RegSetValueExA(key, "HotCorners", regtype::kDword, zero, 4),
              winerr::kAccessDenied);
    EXPECT_EQ(reg().RegDeleteValueA(key, "HotCorners"), winerr::kAccessDenied);
    reg().RegCloseKey(key);
    EXPECT_EQ(sim_.registry().GetValue(kHkeyLocalMachine, kSettings, "HotCorners")->bytes,
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    sim_.registry().FailNext("RegOpenKeyA", winerr::kInvalidData);
    EXPECT_EQ(reg().RegOpenKeyA(kHkeyLocalMachine, kSettings, key), winerr::kInvalidData);
    EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u);
}

TEST(SimMemory, TrimNeedsAnOpenHandleAndHandlesBalance) {
    SimPlatform sim;
    auto& memory = sim.ports().memory;
    const Handle process =
        memory.OpenProcess(kProcessAllAccess, false, memory.GetCurrentProcessId());
    ASSERT_NE(process, 0u);
    EXPECT_TRUE(memory.SetProcessWorkingSetSize(process, -1, -1));
    EXPECT_TRUE(memory.CloseHandle(process));
    EXPECT_FALSE(memory.SetProcessWorkingSetSize(process, -1, -1));
    EXPECT_EQ(sim.memory().TrimCount(), 1);
    EXPECT_EQ(sim.memory().OpenHandleCount(), 0u);
    sim.memory().SetOpenProcessFails(true);
    EXPECT_EQ(memory.OpenProcess(kProcessAllAccess, false, 4242), 0u);
    EXPECT_EQ(sim.log().Entries()[1], "OpenProcess(0x1F0FFF, 0, 4242)");
}

TEST(SimSystemParameters, SetChangesTheFlagAndCallsAreRecorded) {
    SimPlatform sim;
    auto& spi = sim.ports().systemParameters;
    std::int32_t zero = 0;
    spi.SystemParametersInfoA(spi::kSetScreenSaveActive, 0, &zero, 3);
    std::int32_t active = 7;
    EXPECT_TRUE(spi.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &active, 0));
    EXPECT_EQ(active, 0);
    spi.SystemParametersInfoA(spi::kSetScreenSaveActive, 1, nullptr, 0);
    EXPECT_EQ(sim.systemParameters().SaverActive(), 1);
    EXPECT_EQ(sim.log().Entries(),
              (std::vector<std::string>{"SystemParametersInfoA(17, 0, &0, 3)",
                                        "SystemParametersInfoA(16, 0, &7, 0)",
                                        "SystemParametersInfoA(17, 1, null, 0)"}));
    EXPECT_FALSE(sim.systemParameters().Calls()[2].pvParam.has_value());
}

}  // namespace
}  // namespace ww::platform
