#include "platform/win32/Win32Memory.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

TEST(Win32MemoryTest, StatusQueriesFillTheRecords) {
    Win32Memory memory;
    MemoryStatusEx status;
    status.dwLength = sizeof status;
    ASSERT_TRUE(memory.GlobalMemoryStatusEx(status));
    EXPECT_GT(status.ullTotalPhys, 0u);
    EXPECT_GT(status.ullTotalPageFile, 0u);
    EXPECT_GE(status.ullTotalPageFile, status.ullAvailPageFile);

    MemoryStatusEx wrongLength;
    wrongLength.dwLength = 32;
    EXPECT_FALSE(memory.GlobalMemoryStatusEx(wrongLength));

    MemoryStatus shortStatus;
    shortStatus.dwLength = sizeof shortStatus;
    memory.GlobalMemoryStatus(shortStatus);
    EXPECT_GT(shortStatus.dwTotalPhys, 0u);
    EXPECT_GT(shortStatus.dwTotalPageFile, 0u);
}

TEST(Win32MemoryTest, OwnWorkingSetCanBeTrimmed) {
    Win32Memory memory;
    const std::uint32_t id = memory.GetCurrentProcessId();
    EXPECT_EQ(id, ::GetCurrentProcessId());
    const Handle process = memory.OpenProcess(kProcessAllAccess, false, id);
    ASSERT_NE(process, 0u);
    EXPECT_TRUE(memory.SetProcessWorkingSetSize(process, -1, -1));
    EXPECT_TRUE(memory.CloseHandle(process));
    EXPECT_EQ(memory.OpenProcess(kProcessAllAccess, false, 0xFFFFFFF0u), 0u);
}

}  // namespace
}  // namespace ww::platform
