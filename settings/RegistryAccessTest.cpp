#include "settings/RegistryAccess.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace ww::settings {
namespace {

using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
namespace regtype = platform::regtype;
namespace winerr = platform::winerr;

constexpr const char* kKey = "Software\\Wakewatch\\Settings";

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

class RegistryAccessTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u) << "a key was left open";
    }

    platform::SimPlatform sim_;
    RegistryAccess reg_{sim_.ports().registry};
};

struct ReadCase {
    const char* label;
    std::uint32_t type;
    std::vector<std::uint8_t> stored;
    bool ok;
    std::string text;  // "keep" is what the caller passed in
};

TEST_F(RegistryAccessTest, ReadRegStringByTypeAndLength) {
    const std::vector<ReadCase> cases = {
        {"text without NUL", regtype::kSz, Bytes("C:\\ww.exe"), true, "C:\\ww.exe"},
        {"text with NUL", regtype::kSz, Bytes(std::string("C:\\ww.exe\0", 10)), true, "C:\\ww.exe"},
        {"only one NUL dropped", regtype::kSz, Bytes(std::string("ab\0\0", 4)), true,
         std::string("ab\0", 3)},
        {"inner NUL stays", regtype::kSz, Bytes(std::string("a\0b", 3)), true,
         std::string("a\0b", 3)},
        {"empty as one NUL", regtype::kSz, {0}, true, ""},
        {"zero bytes", regtype::kSz, {}, true, ""},
        {"1024 bytes fit", regtype::kSz, std::vector<std::uint8_t>(1024, 'x'), true,
         std::string(1024, 'x')},
        {"1025 bytes do not", regtype::kSz, std::vector<std::uint8_t>(1025, 'x'), false, ""},
        {"expandable text untouched", regtype::kExpandSz, Bytes("%WINDIR%"), true, "keep"},
        {"binary untouched", regtype::kBinary, {1, 2, 3}, true, "keep"},
        {"multi-string untouched", regtype::kMultiSz, Bytes(std::string("a\0b\0\0", 5)), true,
         "keep"},
        {"dword 1", regtype::kDword, {1, 0, 0, 0}, true, "1"},
        {"dword 0", regtype::kDword, {0, 0, 0, 0}, true, "0"},
        {"dword 32767", regtype::kDword, {0xFF, 0x7F, 0, 0}, true, "32767"},
        {"dword high byte only", regtype::kDword, {0, 0, 0, 1}, true, "16777216"},
        {"dword all bits", regtype::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, true, "-1"},
        {"dword two bytes", regtype::kDword, {0x34, 0x12}, true, "4660"},
        {"dword no bytes", regtype::kDword, {}, true, "0"},
        {"dword five bytes, NUL dropped", regtype::kDword, {1, 0, 0, 0, 0}, true, "1"},
        {"dword too wide", regtype::kDword, {1, 0, 0, 0, 1}, false, ""},
    };
    for (const auto& c : cases) {
        sim_.registry().SetValue(kHkeyCurrentUser, kKey, "Value", c.type, c.stored);
        std::string text = "keep";
        EXPECT_EQ(reg_.ReadRegString(kHkeyCurrentUser, kKey, "Value", text), c.ok) << c.label;
        EXPECT_EQ(text, c.text) << c.label;
    }
}

TEST_F(RegistryAccessTest, ReadRegDWORDOnlyReadsNumbersAndKeepsOutputOnFailure) {
    const std::vector<ReadCase> cases = {
        {"one", regtype::kDword, {1, 0, 0, 0}, true, "1"},
        {"large", regtype::kDword, {0x78, 0x56, 0x34, 0x12}, true, "305419896"},
        {"negative", regtype::kDword, {0xFE, 0xFF, 0xFF, 0xFF}, true, "-2"},
        {"text one", regtype::kSz, Bytes("1"), false, "77"},
        {"binary", regtype::kBinary, {1, 0, 0, 0}, false, "77"},
        {"too wide", regtype::kDword, {0, 0, 0, 0, 1}, false, "77"},
        {"too long", regtype::kDword, std::vector<std::uint8_t>(1025, 0), false, "77"},
    };
    for (const auto& c : cases) {
        sim_.registry().SetValue(kHkeyLocalMachine, kKey, "HotCorners", c.type, c.stored);
        std::int32_t number = 77;
        EXPECT_EQ(reg_.ReadRegDWORD(kHkeyLocalMachine, kKey, "HotCorners", number), c.ok)
            << c.label;
        EXPECT_EQ(std::to_string(number), c.text) << c.label;
    }
}

TEST_F(RegistryAccessTest, MissingKeyOrValueFailsReadsAndDeletes) {
    std::string text = "keep";
    std::int32_t number = 5;
    EXPECT_FALSE(reg_.ReadRegString(kHkeyCurrentUser, kKey, "Value", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(reg_.ReadRegDWORD(kHkeyCurrentUser, kKey, "Value", number));
    EXPECT_FALSE(reg_.DeleteRegValue(kHkeyCurrentUser, kKey, "Value"));
    sim_.registry().CreateKey(kHkeyCurrentUser, kKey);
    text = "keep";
    EXPECT_FALSE(reg_.ReadRegString(kHkeyCurrentUser, kKey, "Value", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(reg_.ReadRegDWORD(kHkeyCurrentUser, kKey, "Value", number));
    EXPECT_EQ(number, 5);
    EXPECT_FALSE(reg_.DeleteRegValue(kHkeyCurrentUser, kKey, "Value"));
    EXPECT_EQ(sim_.log().Count("RegSetValueExA") + sim_.log().Count("RegCreateKeyA"), 0u);
}

TEST_F(RegistryAccessTest, WritesCreateTheWholePathAndStoreTheWrittenForms) {
    ASSERT_TRUE(reg_.WriteRegString(kHkeyCurrentUser, kKey, "Path", "C:\\ww.exe"));
    ASSERT_TRUE(reg_.WriteRegString(kHkeyCurrentUser, kKey, "Empty", ""));
    ASSERT_TRUE(reg_.WriteRegDWORD(kHkeyLocalMachine, kKey, "Number", -2));
    using Value = platform::SimRegistry::Value;
    EXPECT_EQ(sim_.registry().GetValue(kHkeyCurrentUser, kKey, "Path"),
              (Value{regtype::kSz, Bytes("C:\\ww.exe")}));
    EXPECT_EQ(sim_.registry().GetValue(kHkeyCurrentUser, kKey, "Empty"),
              (Value{regtype::kSz, {0}}));
    EXPECT_EQ(sim_.registry().GetValue(kHkeyLocalMachine, kKey, "Number"),
              (Value{regtype::kDword, {0xFE, 0xFF, 0xFF, 0xFF}}));

    std::string text = "keep";
    EXPECT_TRUE(reg_.ReadRegString(kHkeyCurrentUser, kKey, "Empty", text));
    EXPECT_EQ(text, "");
    std::int32_t number = 0;
    EXPECT_TRUE(reg_.ReadRegDWORD(kHkeyLocalMachine, kKey, "Number", number));
    EXPECT_EQ(number, -2);
}

TEST_F(RegistryAccessTest, EachOperationMakesItsCallsInOrderAndClosesOnEveryPath) {
    struct Case {
        const char* label;
        std::function<bool()> run;
        std::vector<std::string> calls;
    };
    sim_.registry().SetDword(kHkeyLocalMachine, kKey, "HotCorners", 1);
    std::string text;
    std::int32_t number = 0;
    const std::string open = std::string("RegOpenKeyA(HKLM, ") + kKey + ")";
    const std::string create = std::string("RegCreateKeyA(HKLM, ") + kKey + ")";
    const std::vector<Case> cases = {
        {"read text",
         [&] { return reg_.ReadRegString(kHkeyLocalMachine, kKey, "HotCorners", text); },
         {open, "RegQueryValueExA(HotCorners)", "RegCloseKey"}},
        {"read number of missing value",
         [&] { return !reg_.ReadRegDWORD(kHkeyLocalMachine, kKey, "Gone", number); },
         {open, "RegQueryValueExA(Gone)", "RegCloseKey"}},
        {"write text",
         [&] { return reg_.WriteRegString(kHkeyLocalMachine, kKey, "T", "x"); },
         {create, "RegSetValueExA(T, 1, 1)", "RegCloseKey"}},
        {"write number",
         [&] { return reg_.WriteRegDWORD(kHkeyLocalMachine, kKey, "N", 3); },
         {create, "RegSetValueExA(N, 4, 4)", "RegCloseKey"}},
        {"delete value",
         [&] { return reg_.DeleteRegValue(kHkeyLocalMachine, kKey, "N"); },
         {open, "RegDeleteValueA(N)", "RegCloseKey"}},
        {"delete key opens nothing",
         [&] { return reg_.DeleteRegKey(kHkeyLocalMachine, kKey); },
         {std::string("RegDeleteKeyA(HKLM, ") + kKey + ")"}},
    };
    for (const auto& c : cases) {
        sim_.log().Clear();
        EXPECT_TRUE(c.run()) << c.label;
        EXPECT_EQ(sim_.log().WithPrefix("Reg"), c.calls) << c.label;
        EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u) << c.label;
    }
}

TEST_F(RegistryAccessTest, FailuresAfterOpeningStillCloseTheKey) {
    struct Case {
        const char* function;
        std::int32_t code;
        std::function<bool()> run;
    };
    sim_.registry().SetString(kHkeyCurrentUser, kKey, "Value", "text");
    std::string text = "keep";
    std::int32_t number = 9;
    const std::vector<Case> cases = {
        {"RegQueryValueExA", winerr::kMoreData,
         [&] { return reg_.ReadRegString(kHkeyCurrentUser, kKey, "Value", text); }},
        {"RegQueryValueExA", winerr::kAccessDenied,
         [&] { return reg_.ReadRegDWORD(kHkeyCurrentUser, kKey, "Value", number); }},
        {"RegSetValueExA", winerr::kAccessDenied,
         [&] { return reg_.WriteRegString(kHkeyCurrentUser, kKey, "Value", "new"); }},
        {"RegSetValueExA", winerr::kAccessDenied,
         [&] { return reg_.WriteRegDWORD(kHkeyCurrentUser, kKey, "Value", 1); }},
        {"RegDeleteValueA", winerr::kAccessDenied,
         [&] { return reg_.DeleteRegValue(kHkeyCurrentUser, kKey, "Value"); }},
        {"RegCreateKeyA", winerr::kAccessDenied,
         [&] { return reg_.WriteRegDWORD(kHkeyCurrentUser, kKey, "Value", 1); }},
        {"RegDeleteKeyA", winerr::kAccessDenied,
         [&] { return reg_.DeleteRegKey(kHkeyCurrentUser, kKey); }},
    };
    for (const auto& c : cases) {
        sim_.registry().FailNext(c.function, c.code);
        EXPECT_FALSE(c.run()) << c.function;
        EXPECT_EQ(sim_.registry().OpenKeyCount(), 0u) << c.function;
    }
    EXPECT_EQ(text, "");
    EXPECT_EQ(number, 9);
    EXPECT_EQ(sim_.registry().GetValue(kHkeyCurrentUser, kKey, "Value")->bytes, Bytes("text"));
}

TEST_F(RegistryAccessTest, WriteProtectedRootRefusesWritesAndDeletes) {
    sim_.registry().SetDword(kHkeyLocalMachine, kKey, "HotCorners", 1);
    sim_.registry().SetWriteProtected(kHkeyLocalMachine, true);
    EXPECT_FALSE(reg_.WriteRegDWORD(kHkeyLocalMachine, kKey, "HotCorners", 0));
    EXPECT_FALSE(reg_.WriteRegString(kHkeyLocalMachine, "Software\\New", "T", "x"));
    EXPECT_FALSE(reg_.DeleteRegValue(kHkeyLocalMachine, kKey, "HotCorners"));
    EXPECT_FALSE(reg_.DeleteRegKey(kHkeyLocalMachine, kKey));
    std::int32_t number = 0;
    EXPECT_TRUE(reg_.ReadRegDWORD(kHkeyLocalMachine, kKey, "HotCorners", number));
    EXPECT_EQ(number, 1);
    EXPECT_FALSE(sim_.registry().KeyExists(kHkeyLocalMachine, "Software\\New"));
}

}  // namespace
}  // namespace ww::settings
