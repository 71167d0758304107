#include "platform/formats/DesktopEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/formats/DesktopExec.h"

namespace ww::platform {
namespace {

using Arguments = std::vector<std::string>;

TEST(DesktopExec, ArgumentsAreQuotedOnlyWhereNeededAndSplitBack) {
    struct Case {
        Arguments arguments;
        std::string exec;  // before the general escapes
    };
    const std::vector<Case> cases = {
        {{"/usr/bin/wakewatch"}, "/usr/bin/wakewatch"},
        {{"/opt/my apps/wakewatch"}, "\"/opt/my apps/wakewatch\""},
        {{"/odd/$x`\"\\"}, "\"/odd/\\$x\\`\\\"\\\\\""},
        {{"/it's/(here)"}, "\"/it's/(here)\""},
        {{"/100%/ww"}, "/100%%/ww"},
        {{"/a b/100%"}, "\"/a b/100%%\""},
        {{""}, "\"\""},
        {{"/usr/bin/wakewatch", "-POPUP"}, "/usr/bin/wakewatch -POPUP"},
        {{"C:\\Tools\\Wakewatch.exe"}, "\"C:\\\\Tools\\\\Wakewatch.exe\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinExecArguments(c.arguments), c.exec);
        EXPECT_EQ(SplitExecArguments(c.exec), c.arguments) << c.exec;
    }
}

TEST(DesktopExec, SplittingUndoesFieldCodesAndRefusesBrokenQuoting) {
    struct Case {
        std::string exec;
        std::optional<Arguments> arguments;
    };
    const std::vector<Case> cases = {
        {"  ww   -x  ", Arguments{"ww", "-x"}},
        {"ww %U", Arguments{"ww"}},
        {"ww %%U", Arguments{"ww", "%U"}},
        {"", Arguments{}},
        {"\"a b\"c", std::nullopt},
        {"\"open", std::nullopt},
        {"a\"b\"", std::nullopt},
        {"\"\\q\"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitExecArguments(c.exec), c.arguments) << c.exec;
    }
}

TEST(DesktopExec, GeneralEscapesWrapTheQuoting) {
    // A literal backslash inside a quoted argument takes four in the file.
    const std::string path = "/odd\\dir/ww";
    const std::string value = EscapeDesktopValue(JoinExecArguments({path}));
    EXPECT_EQ(value, "\"/odd\\\\\\\\dir/ww\"");
    EXPECT_EQ(SplitExecArguments(*UnescapeDesktopValue(value)), Arguments{path});

    const std::string odd = " lead\ttab\nline\r\\ trail ";
    EXPECT_EQ(EscapeDesktopValue(odd), "\\slead\\ttab\\nline\\r\\\\ trail\\s");
    EXPECT_EQ(UnescapeDesktopValue(EscapeDesktopValue(odd)), odd);
    EXPECT_EQ(UnescapeDesktopValue("a\\qb"), std::nullopt);
    EXPECT_EQ(UnescapeDesktopValue("a\\"), std::nullopt);
}

DesktopEntry Parse(std::string_view text) {
    auto parsed = DesktopEntry::Parse(text);
    if (auto* error = std::get_if<TextParseError>(&parsed)) {
        ADD_FAILURE() << "line " << error->line << ": " << error->message;
        return {};
    }
    return std::get<DesktopEntry>(std::move(parsed));
}

TEST(DesktopEntry, ChangesOneKeyAndKeepsEveryOtherLine) {
    const std::string text =
        "# mine\n"
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name[de]=Wachhund\n"
        "Exec = /old/ww\n"
        "Hidden=true\n"
        "\n"
        "[Desktop Action Quit]\n"
        "Exec=ww --quit\n";
    DesktopEntry entry = Parse(text);
    EXPECT_EQ(entry.Text(), text);
    EXPECT_EQ(entry.Get("Exec"), "/old/ww");
    EXPECT_EQ(entry.Get("Name"), std::nullopt);
    EXPECT_EQ(entry.Get("Name[de]"), "Wachhund");

    entry.Set("Exec", "/new/ww");
    entry.Remove("Hidden");
    entry.Set("Terminal", "false");
    EXPECT_EQ(entry.Text(),
              "# mine\n[Desktop Entry]\nType=Application\nName[de]=Wachhund\nExec=/new/ww\n"
              "Terminal=false\n\n[Desktop Action Quit]\nExec=ww --quit\n");

    DesktopEntry fresh;
    fresh.Set("Type", "Application");
    fresh.Set("Exec", "ww");
    EXPECT_EQ(fresh.Text(), "[Desktop Entry]\nType=Application\nExec=ww\n");
}

TEST(DesktopEntry, OfAKeyGivenTwiceTheLastCountsAndASetLeavesOneLine) {
    DesktopEntry entry = Parse(
        "[Desktop Entry]\nHidden=false\nExec=a\n[Other]\nHidden=x\n"
        "[Desktop Entry]\nHidden=true\n");
    EXPECT_EQ(entry.Get("Hidden"), "true");
    entry.Set("Hidden", "false");
    EXPECT_EQ(entry.Text(),
              "[Desktop Entry]\nExec=a\n[Other]\nHidden=x\n"
              "[Desktop Entry]\nHidden=false\n");
    EXPECT_EQ(entry.Get("Hidden"), "false");
}

TEST(DesktopEntry, UnreadableFilesNameTheLine) {
    struct Case {
        std::string text;
        int line;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"", 1, "no [Desktop Entry]"},
        {"[Other]\nA=b\n", 2, "no [Desktop Entry]"},
        {"Exec=ww\n[Desktop Entry]\n", 1, "before the first group"},
        {"[Desktop Entry]\nExec ww\n", 2, "neither"},
        {"[Desktop Entry]\nExe c=ww\n", 2, "neither"},
        {"[Desktop Entry\n", 1, "[name]"},
        {"[Desktop Entry]\nName=\xC3\x28\n", 2, "UTF-8"},
    };
    for (const auto& c : cases) {
        const auto parsed = DesktopEntry::Parse(c.text);
        const auto* error = std::get_if<TextParseError>(&parsed);
        ASSERT_NE(error, nullptr) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_NE(error->message.find(c.says), std::string::npos) << error->message;
    }
}

// Found by the fuzzer: "Exec=\r\r\n" read as "\r" and, written back, as "".
TEST(DesktopEntry, ReadsTheSameAfterItIsWrittenBackWhateverCarriageReturnsEndALine) {
    for (const std::string text :
         {"[Desktop Entry]\nExec=\r\r\n", "[Desktop Entry]\r\r\nExec=a\r\n",
          "[Desktop Entry]\nExec=a\rb\r\r\r\n"}) {
        SCOPED_TRACE(text);
        const auto first = DesktopEntry::Parse(text);
        ASSERT_TRUE(std::holds_alternative<DesktopEntry>(first));
        const auto again = DesktopEntry::Parse(std::get<DesktopEntry>(first).Text());
        ASSERT_TRUE(std::holds_alternative<DesktopEntry>(again));
        EXPECT_EQ(std::get<DesktopEntry>(again).Get("Exec"),
                  std::get<DesktopEntry>(first).Get("Exec"));
    }
}

}  // namespace
}  // namespace ww::platform
