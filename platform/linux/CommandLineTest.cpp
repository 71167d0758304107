#include "platform/linux/CommandLine.h"

#include <gtest/gtest.h>

#include "platform/linux/LinuxApplication.h"

namespace ww::platform {
namespace {

TEST(CommandLineTest, TheFirstInformationOptionWinsUntilDoubleDash) {
    using enum InformationOption;
    const struct {
        std::vector<std::string> arguments;
        InformationOption option;
    } cases[] = {
        {{}, kNone},
        {{"-POPUP"}, kNone},
        {{"--help"}, kHelp},
        {{"--version"}, kVersion},
        {{"-POPUP", "--version"}, kVersion},
        {{"--version", "--help"}, kVersion},
        {{"--help", "--version"}, kHelp},
        {{"--", "--help"}, kNone},  // after "--" it is a word like any other
        {{"-help"}, kNone},
        {{"--HELP"}, kNone},
        {{"-h"}, kNone},
        {{"--help=all"}, kNone},
        {{"\"--help\""}, kNone},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindInformationOption(c.arguments), c.option)
            << ::testing::PrintToString(c.arguments);
    }
}

TEST(CommandLineTest, VersionAndHelpNameTheInstalledProgram) {
    const AppFacts facts = MakeAppFacts("/usr/bin/wakewatch");
    const std::string version = VersionText(facts);
    EXPECT_EQ(version.substr(0, version.find('\n')), "Wakewatch 1.5.1");
    EXPECT_NE(version.find("the Wakewatch authors"), std::string::npos);

    const std::string help = HelpText(facts);
    EXPECT_EQ(help.substr(0, help.find('\n')), "Usage: wakewatch [-POPUP]");
    for (const char* option : {"-POPUP", "--help", "--version"}) {
        EXPECT_NE(help.find(std::string("\n  ") + option + " "), std::string::npos) << option;
    }
    EXPECT_EQ(help.back(), '\n');
}

}  // namespace
}  // namespace ww::platform
