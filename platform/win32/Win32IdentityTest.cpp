#include "platform/win32/Win32Identity.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/common/Utf8.h"

namespace ww::platform {
namespace {

TEST(Win32IdentityTest, VersionIsTheNtFamily) {
    Win32Identity identity;
    OsVersionInfo info;
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(identity.GetVersionExA(info));
    EXPECT_EQ(info.dwPlatformId, 2u);
    EXPECT_GE(info.dwMajorVersion, 5u);

    OsVersionInfo wrongSize;
    wrongSize.dwOSVersionInfoSize = 156;  // OSVERSIONINFOEXA's size is not this port's record
    EXPECT_FALSE(identity.GetVersionExA(wrongSize));
    EXPECT_EQ(wrongSize.dwPlatformId, 0u);
}

TEST(Win32IdentityTest, ComputerNameFitsOrSaysWhatItNeeds) {
    Win32Identity identity;
    char buffer[kComputerNameBufferSize];
    std::memset(buffer, 'x', sizeof buffer);
    std::uint32_t size = kComputerNameBufferSize;
    ASSERT_TRUE(identity.GetComputerNameA(buffer, size));
    EXPECT_GT(size, 0u);
    EXPECT_EQ(std::strlen(buffer), size);
    EXPECT_TRUE(IsUtf8(buffer));

    char small[1] = {'x'};
    std::uint32_t smallSize = 1;
    EXPECT_FALSE(identity.GetComputerNameA(small, smallSize));
    EXPECT_EQ(smallSize, size + 1);
}

}  // namespace
}  // namespace ww::platform
