#include "platform/win32/Win32Application.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(Win32ApplicationTest, ArgumentTextIsWhatFollowsTheProgramName) {
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"wakewatch.exe", ""},
        {"wakewatch.exe -POPUP", "-POPUP"},
        {"wakewatch.exe -popup", "-popup"},
        {"wakewatch.exe \t  -POPUP", "-POPUP"},
        {"wakewatch.exe -POPUP now", "-POPUP now"},
        {"wakewatch.exe -POPUP  ", "-POPUP  "},
        {"wakewatch.exe \"-POPUP\"", "\"-POPUP\""},
        {"\"C:\\Program Files\\Wakewatch\\wakewatch.exe\" -POPUP", "-POPUP"},
        {"\"C:\\Program Files\\Wakewatch\\wakewatch.exe\"", ""},
        // The program name runs to the first blank, quotes or not.
        {"\"C:\\W\\wakewatch.exe\"-POPUP", ""},
        {"\"C:\\unterminated -POPUP", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << c.commandLine;
    }
}

TEST(Win32ApplicationTest, FactsSplitTheProgramFileIntoFolderNameAndExtension) {
    const struct {
        const char* modulePath;
        const char* path;
        const char* exeName;
        const char* extension;
    } cases[] = {
        {"C:\\Program Files\\Wakewatch\\wakewatch.exe", "C:\\Program Files\\Wakewatch", "wakewatch",
         ".exe"},
        {"C:\\wakewatch.exe", "C:\\", "wakewatch", ".exe"},
        {"\\\\server\\share\\ww.v2.EXE", "\\\\server\\share", "ww.v2", ".EXE"},
        {"wakewatch", "", "wakewatch", ""},
    };
    for (const auto& c : cases) {
        const AppFacts facts = MakeWin32AppFacts(c.modulePath);
        EXPECT_EQ(facts.path, c.path) << c.modulePath;
        EXPECT_EQ(facts.exeName, c.exeName) << c.modulePath;
        EXPECT_EQ(facts.exeExtension, c.extension) << c.modulePath;
        EXPECT_EQ(facts.pathSeparator, "\\");
        EXPECT_EQ(facts.title, "Wakewatch");
        EXPECT_EQ(facts.major * 10000 + facts.minor * 100 + facts.revision, 10501);
    }
}

TEST(Win32ApplicationTest, TheRunningProgramIsThisTestProgram) {
    Win32Application application;
    const AppFacts& facts = application.App();
    EXPECT_EQ(facts.exeName, "ww_platform_win32_desktop_tests");
    EXPECT_EQ(facts.exeExtension, ".exe");
    EXPECT_FALSE(facts.path.empty());
    // gtest runs it with no arguments of ours, or with a --gtest option.
    const std::string command = application.Command();
    EXPECT_TRUE(command.empty() || command.starts_with("--gtest")) << command;
}

}  // namespace
}  // namespace ww::platform
