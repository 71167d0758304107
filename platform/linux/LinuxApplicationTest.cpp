#include "platform/linux/LinuxApplication.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(LinuxApplicationTest, CommandJoinsArgumentsWithSingleBlanks) {
    const struct {
        std::vector<std::string> arguments;
        std::string command;
    } cases[] = {
        {{}, ""},
        {{"-POPUP"}, "-POPUP"},
        {{"-popup"}, "-popup"},
        {{"-POPUP", "now"}, "-POPUP now"},
        {{"\"-POPUP\""}, "\"-POPUP\""},  // quotes that reached argv stay
        {{"a b"}, "a b"},                // one argument with a blank inside
        {{"a", "", "b"}, "a  b"},        // an empty argument still takes its place
        {{" -POPUP "}, " -POPUP "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinArguments(c.arguments), c.command);
        LinuxApplication application(c.arguments, "/usr/bin/wakewatch");
        EXPECT_EQ(application.Command(), c.command);
    }
}

TEST(LinuxApplicationTest, AppFactsComeFromTheProgramFile) {
    const struct {
        std::string exePath;
        std::string path;
        std::string exeName;
        std::string extension;
    } cases[] = {
        {"/usr/bin/wakewatch", "/usr/bin", "wakewatch", ""},
        {"/opt/ww/wakewatch.bin", "/opt/ww", "wakewatch", ".bin"},
        {"/home/u/my.tools/ww", "/home/u/my.tools", "ww", ""},
        {"/wakewatch", "/", "wakewatch", ""},
    };
    for (const auto& c : cases) {
        LinuxApplication application({}, c.exePath);
        const AppFacts& facts = application.App();
        EXPECT_EQ(facts.title, "Wakewatch");
        EXPECT_EQ(facts.path, c.path) << c.exePath;
        EXPECT_EQ(facts.exeName, c.exeName) << c.exePath;
        EXPECT_EQ(facts.pathSeparator, "/");
        EXPECT_EQ(facts.exeExtension, c.extension) << c.exePath;
        EXPECT_EQ(facts.major, 1);
        EXPECT_EQ(facts.minor, 5);
        EXPECT_EQ(facts.revision, 1);
    }
}

TEST(LinuxApplicationTest, ExecutablePathIsThisProgram) {
    const AppFacts facts = MakeAppFacts(CurrentExecutablePath());
    EXPECT_EQ(facts.exeName, "ww_platform_linux_tests");
    EXPECT_FALSE(facts.path.empty());
    EXPECT_EQ(facts.path.front(), '/');
}

}  // namespace
}  // namespace ww::platform
