#include "platform/win32/Win32Shell.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace ww::platform {
namespace {

TEST(Win32ShellTest, StartsWhatExistsAndNothingElse) {
    Win32Shell shell;
    EXPECT_TRUE(shell.StartCommandLine("cmd.exe /c exit 0", SW_SHOWMINIMIZED));
    EXPECT_FALSE(shell.StartCommandLine("no-such-program-of-wakewatch.exe", kSwShowNormal));
    EXPECT_FALSE(shell.StartCommandLine("", kSwShowNormal));
}

TEST(Win32ShellTest, OpeningAMissingFileReportsTheShellsError) {
    Win32Shell shell;
    const std::intptr_t result =
        shell.ShellExecuteA(0, "open", "C:\\no-such-folder\\none.wwtest", "", "", kSwShowNormal);
    EXPECT_LE(result, 32);
    EXPECT_GE(result, 0);
}

}  // namespace
}  // namespace ww::platform
