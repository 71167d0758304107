#include "platform/formats/RegText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ports/Registry.h"

namespace ww::platform {
namespace {

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

RegDocument Parse(std::string_view text) {
    auto parsed = ParseRegText(text, kMachine);
    if (auto* error = std::get_if<TextParseError>(&parsed)) {
        ADD_FAILURE() << "line " << error->line << ": " << error->message;
        return {};
    }
    return std::get<RegDocument>(std::move(parsed));
}

TEST(RegText, CanonicalFileRoundTripsUnchanged) {
    const std::string text =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
        "\"HotCorners\"=dword:0000001f\n"
        "\"Path\"=\"C:\\\\Program Files\\\\Wakewatch \\\"1.5\\\"\"\n"
        "@=\"default\"\n"
        "\"Empty\"=\"\"\n"
        "\"Unicode\"=\"Grüße\"\n"
        "\"Expand\"=hex(2):25,00,41,00\n"
        "\"Binary\"=hex:\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Empty]\n"
        "\n"
        "[HKEY_LOCAL_MACHINE]\n"
        "\"AtRoot\"=dword:ffffffff\n";
    const RegDocument document = Parse(text);
    EXPECT_EQ(FormatRegText(document, kMachine), text);

    const std::string settings = "Software\\Wakewatch\\Settings";
    EXPECT_EQ(*document.FindValue(settings, "hotcorners"),
              (RegValue{"HotCorners", regtype::kDword, {0x1f, 0, 0, 0}}));
    EXPECT_EQ(document.FindValue(settings, "Path")->data,
              Bytes("C:\\Program Files\\Wakewatch \"1.5\""));
    EXPECT_EQ(document.FindValue(settings, "")->data, Bytes("default"));
    EXPECT_EQ(document.FindValue(settings, "Empty")->data.size(), 0u);
    EXPECT_EQ(*document.FindValue(settings, "Expand"),
              (RegValue{"Expand", regtype::kExpandSz, {0x25, 0, 0x41, 0}}));
    EXPECT_EQ(document.FindValue(settings, "Binary")->type, regtype::kBinary);
    EXPECT_TRUE(document.KeyExists("software\\empty"));
    EXPECT_EQ(document.FindValue("", "AtRoot")->data,
              (std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0xff}));
}

TEST(RegText, DataTheQuotedFormCannotHoldIsWrittenAsHex) {
    RegDocument document;
    document.SetValue("K", {"Lines", regtype::kSz, Bytes("a\nb")});
    document.SetValue("K", {"Latin1", regtype::kSz, {0xE9}});
    document.SetValue("K", {"Short", regtype::kDword, {1, 2, 3}});
    document.SetValue("K", {"Long", regtype::kBinary, std::vector<std::uint8_t>(60, 0xAB)});
    const std::string text = FormatRegText(document, kMachine);
    EXPECT_NE(text.find("\"Lines\"=hex(1):61,0a,62\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Latin1\"=hex(1):e9\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Short\"=hex(4):01,02,03\n"), std::string::npos) << text;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        EXPECT_LE(end - start, 80u) << "the editor wraps long hex lists";
        start = end + 1;
    }
    const RegDocument back = Parse(text);
    for (const auto& name : {"Lines", "Latin1", "Short", "Long"}) {
        EXPECT_EQ(*back.FindValue("K", name), *document.FindValue("K", name)) << name;
    }
}

TEST(RegText, ReadsWhatPeopleAndTheEditorWriteBeyondTheCanonicalForm) {
    const RegDocument document = Parse(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "; written by hand\r\n"
        "  [HKEY_LOCAL_MACHINE\\\\Software\\Wakewatch\\]  \r\n"
        "\"A\" = dword:1F\r\n"
        "\"B\"=hex(7):61,00,\\\r\n"
        "  62,00,00,\\\r\n"
        "  00\r\n"
        "[hkey_local_machine\\SOFTWARE\\wakewatch]\r\n"
        "\"a\"=dword:2\r\n");
    ASSERT_EQ(document.Sections().size(), 1u);
    EXPECT_EQ(document.Sections()[0].path, "Software\\Wakewatch");
    EXPECT_EQ(*document.FindValue("Software\\Wakewatch", "A"),
              (RegValue{"A", regtype::kDword, {2, 0, 0, 0}}));
    EXPECT_EQ(document.FindValue("Software\\Wakewatch", "B")->data,
              (std::vector<std::uint8_t>{0x61, 0, 0x62, 0, 0, 0}));
    EXPECT_TRUE(Parse(" \n\n").Sections().empty());
    EXPECT_TRUE(Parse("").Sections().empty());
}

TEST(RegText, UnreadableFilesNameTheLine) {
    const std::string header = "Windows Registry Editor Version 5.00\n";
    const std::string key = "[HKEY_LOCAL_MACHINE\\Software]\n";
    struct Case {
        std::string text;
        int line;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"REGEDIT4\n", 1, "first line"},
        {"\xFF\xFEW\0i\0", 1, "UTF-8"},
        {header + "\n[HKEY_CURRENT_USER\\Software]\n", 3, "not under HKEY_LOCAL_MACHINE"},
        {header + "[HKEY_LOCAL_MACHINEX\\Software]\n", 2, "not under"},
        {header + "[-HKEY_LOCAL_MACHINE\\Software]\n", 2, "delete keys"},
        {header + "[HKEY_LOCAL_MACHINE\\Software\n", 2, "end with ]"},
        {header + "\"a\"=\"x\"\n", 2, "before the first [key]"},
        {header + key + "\"a\"=-\n", 3, "delete values"},
        {header + key + "\"a\"=\"open\n", 3, "closing"},
        {header + key + "\"a\"=\"x\" y\n", 3, "after the closing"},
        {header + key + "\"a\"=\"\\n\"\n", 3, "backslash"},
        {header + key + "\"a\" \"x\"\n", 3, "= expected"},
        {header + key + "\"a\"=dword:123456789\n", 3, "dword:"},
        {header + key + "\"a\"=dword:\n", 3, "dword:"},
        {header + key + "\"a\"=hex:1,02\n", 3, "two hexadecimal digits"},
        {header + key + "\"a\"=hex(zz):00\n", 3, "hex(type)"},
        {header + key + "\"a\"=qword:1\n", 3, "none of"},
        {header + key + "\n\"a\"=hex:01,\\\n", 4, "ends inside"},
        {header + key + "\"a\"=\"\xC3\x28\"\n", 3, "UTF-8"},
        {header + key + "name=1\n", 3, "neither"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseRegText(c.text, kMachine);
        const auto* error = std::get_if<TextParseError>(&parsed);
        ASSERT_NE(error, nullptr) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_NE(error->message.find(c.says), std::string::npos)
            << c.text << " -> " << error->message;
    }
}

TEST(RegDocument, KeysExistThroughTheirSubkeysAndParentsOutliveDeletion) {
    RegDocument document;
    document.SetValue("Software\\Wakewatch\\Settings", {"X", regtype::kSz, {}});
    EXPECT_TRUE(document.KeyExists(""));
    EXPECT_TRUE(document.KeyExists("SOFTWARE\\wakewatch"));
    EXPECT_FALSE(document.KeyExists("Software\\Wake"));
    EXPECT_TRUE(document.HasSubkeys("Software"));
    EXPECT_FALSE(document.HasSubkeys("Software\\Wakewatch\\Settings"));

    document.SetValue("Software\\Wakewatch\\Settings", {"x", regtype::kDword, {1, 0, 0, 0}});
    ASSERT_EQ(document.Sections()[0].values.size(), 1u);
    EXPECT_EQ(document.Sections()[0].values[0].name, "X");  // keeps its first spelling

    EXPECT_TRUE(document.DeleteKey("software\\wakewatch\\settings"));
    EXPECT_TRUE(document.KeyExists("Software\\Wakewatch"));
    EXPECT_FALSE(document.KeyExists("Software\\Wakewatch\\Settings"));
    EXPECT_TRUE(document.DeleteKey("Software\\Wakewatch"));
    EXPECT_TRUE(document.KeyExists("Software"));
    EXPECT_FALSE(document.DeleteKey("Software\\Wakewatch"));
    EXPECT_FALSE(document.DeleteValue("Software", "X"));

    EXPECT_EQ(NormalizeKeyPath("\\Software\\\\Wakewatch\\"), "Software\\Wakewatch");
    EXPECT_EQ(JoinKeyPath("", "Run"), "Run");
    EXPECT_EQ(JoinKeyPath("Software", ""), "Software");
}

}  // namespace
}  // namespace ww::platform
