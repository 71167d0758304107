#include "platform/win32/SystemCodePage.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

TEST(SystemCodePageTest, Utf16AndUtf8ConvertBothWays) {
    struct Case {
        const char* utf8;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"plain", L"plain"},
        {"Caf\xC3\xA9", L"Caf\u00E9"},
        {"1\xE2\x82\xAC", L"1\u20AC"},
        {"\xF0\x9F\x98\x80", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide);
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8);
    }
}

TEST(SystemCodePageTest, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(WideFromUtf8("a\xC3"), L"a\uFFFD");        // cut short
    EXPECT_EQ(WideFromUtf8("\xC0\xAFz"), L"\uFFFDz");    // an overlong form
    EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), L"\uFFFD");  // a surrogate
    EXPECT_EQ(Utf8FromWide(std::wstring{wchar_t(0xD800), L'x'}), "\xEF\xBF\xBDx");
}

TEST(SystemCodePageTest, AsciiAndNulsPassUnchanged) {
    const std::string text("a\0b", 3);
    EXPECT_EQ(ToSystemCodePage(text), text);
    EXPECT_EQ(FromSystemCodePage(text), text);
    char probe = 0;
    BOOL lost = FALSE;
    if (::WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, &probe, 1, nullptr, &lost) == 1 && !lost) {
        const std::string mixed = std::string("\xC3\xA9\0x", 4);
        const std::string ansi = ToSystemCodePage(mixed);
        EXPECT_EQ(ansi, std::string({probe, '\0', 'x'}));
        EXPECT_EQ(FromSystemCodePage(ansi), mixed);
    }
}

TEST(SystemCodePageTest, ACutWithinABoundNeverSplitsADoubleByteCharacter) {
    const std::string a = "\xE3\x81\x82";  // あ: two bytes in code page 932
    auto repeat = [](const std::string& piece, std::size_t times) {
        std::string text;
        for (std::size_t i = 0; i < times; ++i) {
            text += piece;
        }
        return text;
    };
    const struct {
        const char* name;
        unsigned codePage;
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"fits whole", 932, repeat(a, 31) + "x", repeat("\x82\xA0", 31) + "x"},
        {"straddling the last byte is left out", 932, std::string(62, 'x') + a,
         std::string(62, 'x')},
        {"63 characters become 31", 932, repeat(a, 63), repeat("\x82\xA0", 31)},
        {"single-byte code page keeps 63", 1252, repeat("\xC3\xA9", 70), std::string(63, '\xE9')},
        {"ascii is cut by bytes", 1252, std::string(70, 'x'), std::string(63, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ToCodePageWithin(c.utf8, c.codePage, 63), c.expected);
    }
}

}  // namespace
}  // namespace ww::platform
