#include "platform/linux/system/LinuxIdentity.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace ww::platform {
namespace {

TEST(LinuxIdentityTest, ParsesKernelReleases) {
    const struct {
        const char* release;
        std::uint32_t major, minor, patch;
    } cases[] = {
        {"6.1.0-18-amd64", 6, 1, 0}, {"5.15.133.1-microsoft-standard-WSL2", 5, 15, 133},
        {"4.19.0", 4, 19, 0},        {"3.10", 3, 10, 0},
        {"6.8.0-rc3", 6, 8, 0},      {"", 0, 0, 0},
        {"weird", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const KernelRelease parsed = ParseKernelRelease(c.release);
        EXPECT_EQ(parsed.major, c.major) << c.release;
        EXPECT_EQ(parsed.minor, c.minor) << c.release;
        EXPECT_EQ(parsed.patch, c.patch) << c.release;
    }
}

TEST(LinuxIdentityTest, ReportsAnNtFamilySystemOfVersionFiveOrLater) {
    LinuxIdentity identity;
    OsVersionInfo info;
    info.dwOSVersionInfoSize = sizeof(OsVersionInfo);
    ASSERT_TRUE(identity.GetVersionExA(info));
    EXPECT_EQ(info.dwPlatformId, 2U);
    EXPECT_GE(info.dwMajorVersion, 5U);
}

TEST(LinuxIdentityTest, WrongRecordSizeFailsAndLeavesTheRecord) {
    LinuxIdentity identity;
    OsVersionInfo info;
    info.dwOSVersionInfoSize = 156;  // the Ex record, which this call does not fill
    EXPECT_FALSE(identity.GetVersionExA(info));
    EXPECT_EQ(info.dwPlatformId, 0U);
    EXPECT_EQ(info.dwMajorVersion, 0U);
}

TEST(LinuxIdentityTest, ComputerNameIsTheHostName) {
    char expected[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(expected, sizeof expected - 1), 0);
    const auto length = static_cast<std::uint32_t>(std::strlen(expected));

    LinuxIdentity identity;
    char buffer[kComputerNameBufferSize];
    std::memset(buffer, 'x', sizeof buffer);
    std::uint32_t size = kComputerNameBufferSize;
    ASSERT_TRUE(identity.GetComputerNameA(buffer, size));
    EXPECT_EQ(size, length);
    EXPECT_EQ(std::string(buffer), expected);

    // A buffer without room for the NUL fails and says what it needs.
    size = length;
    EXPECT_FALSE(identity.GetComputerNameA(buffer, size));
    EXPECT_EQ(size, length + 1);
}

}  // namespace
}  // namespace ww::platform
