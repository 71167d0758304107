#include "monitors/WindowsVersion.h"

#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "tests/support/CaseNames.h"

namespace ww::monitors {
namespace {

using ww::cases::PrintTo;

struct VersionCase {
    const char* name;
    std::uint32_t platformId;
    std::uint32_t major;
    bool nt5OrLater;
};

class DetectWindowsVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(DetectWindowsVersionTest, SetsPlatformAndNt5Flag) {
    platform::SimPlatform sim;
    sim.identity().SetPlatform(GetParam().platformId, GetParam().major, 0);
    ComputerIdentity computer;
    DetectWindowsVersion(sim.identity(), computer);
    EXPECT_EQ(computer.OSPlatformId, static_cast<std::int32_t>(GetParam().platformId));
    EXPECT_EQ(computer.IsNT5OrLater, GetParam().nt5OrLater);
}

INSTANTIATE_TEST_SUITE_P(Systems, DetectWindowsVersionTest,
                         ::testing::Values(VersionCase{"Windows98", 1, 4, false},
                                           VersionCase{"NT4", 2, 4, false},
                                           VersionCase{"Windows2000", 2, 5, true},
                                           VersionCase{"Vista", 2, 6, true},
                                           VersionCase{"PlatformThree", 3, 1, true}),
                         cases::CaseName{});

TEST(DetectWindowsVersion, FailedCallGivesPlatformZeroAndKeepsTheFlag) {
    platform::SimPlatform sim;
    sim.identity().SetVersionFails(true);
    ComputerIdentity computer;
    computer.IsNT5OrLater = true;  // never set back to false
    DetectWindowsVersion(sim.identity(), computer);
    EXPECT_EQ(computer.OSPlatformId, 0);
    EXPECT_TRUE(computer.IsNT5OrLater);
}

TEST(GetComputerNameText, NameWithoutTerminatorOrEmptyOnFailure) {
    platform::SimPlatform sim;
    sim.identity().SetComputerName("WORKSTATION-015");  // 15 characters
    EXPECT_EQ(GetComputerNameText(sim.identity()), "WORKSTATION-015");
    sim.identity().SetComputerName(std::string(255, 'n'));
    EXPECT_EQ(GetComputerNameText(sim.identity()), std::string(255, 'n'));
    sim.identity().SetComputerNameFails(true);
    EXPECT_EQ(GetComputerNameText(sim.identity()), "");
}

}  // namespace
}  // namespace ww::monitors
