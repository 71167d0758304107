#include "platform/win32/Win32Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/common/RegistryContract.h"
#include "platform/win32/Win32Calls.h"
#include "settings/RegistryAccess.h"

namespace ww::platform {
namespace {

constexpr const char* kTestRoot = "Software\\WakewatchTest";

// Deletes `path` under HKEY_CURRENT_USER with everything below it, straight
// through advapi32 so that the registry under test is not relied on.
void DeleteTree(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != 0) {
        return;
    }
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != 0) {
            break;
        }
        children.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    for (const auto& child : children) {
        DeleteTree(path + "\\" + child);
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

// What the wide calls see: the text as the system holds it.
std::wstring StoredText(const std::wstring& path, const std::wstring& name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != 0) {
        return L"<no key>";
    }
    wchar_t text[64] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    const LONG result = ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(text), &size);
    ::RegCloseKey(key);
    return result == 0 ? std::wstring(text) : L"<no value>";
}

// Each test process has a key of its own under the test root, so that tests
// run side by side never meet.
std::string ProcessTestKey() {
    return std::string(kTestRoot) + "\\" + std::to_string(::GetCurrentProcessId());
}

void RemoveProcessTestKey() {
    DeleteTree(ProcessTestKey());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);  // refused while others use it
}

struct Win32Backend {
    Win32Backend() { DeleteTree(ProcessTestKey()); }
    ~Win32Backend() { RemoveProcessTestKey(); }
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    Registry& registry() { return registry_; }
    std::size_t OpenKeyCount() { return registry_.OpenKeyCount(); }
    std::string TestKey() { return ProcessTestKey(); }

    Win32Registry registry_;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32Registry, RegistryContract, Win32Backend);

class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteTree(testKey_); }
    void TearDown() override {
        EXPECT_EQ(registry_.OpenKeyCount(), 0u);
        RemoveProcessTestKey();
    }

    std::string Path(const std::string& below) const { return testKey_ + below; }

    const std::string testKey_ = ProcessTestKey();

    Win32Registry registry_;
    settings::RegistryAccess reg_{registry_};
};

TEST_F(Win32RegistryTest, TextRoundTripsThroughTheLogic) {
    // The NT family stores text with the NUL that follows it in memory, as
    // it does after every text the logic writes: 1024 characters are then
    // 1025 bytes, one more than the read buffer holds.
    struct Case {
        const char* what;
        std::string text;
        bool readable;
    };
    const Case cases[] = {
        {"plain", "C:\\Program Files\\Wakewatch\\wakewatch.exe", true},
        {"empty, stored as one NUL", "", true},
        {"1023 characters and the NUL, the read buffer exactly", std::string(1023, 'x'), true},
        {"1024 characters and the NUL, beyond the read buffer", std::string(1024, 'y'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(reg_.WriteRegString(kHkeyCurrentUser, Path("\\Deep\\Path"), "Value", c.text));
        std::string read = "before";
        EXPECT_EQ(reg_.ReadRegString(kHkeyCurrentUser, Path("\\Deep\\Path"), "Value", read),
                  c.readable);
        EXPECT_EQ(read, c.readable ? c.text : std::string());
    }
}

TEST_F(Win32RegistryTest, TextIsStoredEndingInANul) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::string data;
        std::string stored;
    };
    const Case cases[] = {
        {"text without a NUL gets one", regtype::kSz, "abc", std::string("abc\0", 4)},
        {"text with its NUL", regtype::kSz, std::string("abc\0", 4), std::string("abc\0", 4)},
        {"expandable text", regtype::kExpandSz, "%TEMP%", std::string("%TEMP%\0", 7)},
        {"binary data as it is", regtype::kBinary, "abc", "abc"},
        {"no data", regtype::kSz, "", ""},
    };
    HKey key = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(kHkeyCurrentUser, testKey_, key), winerr::kSuccess);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A byte other than NUL after the data, so nothing is taken from beyond it.
        const std::string memory = c.data + "z";
        ASSERT_EQ(registry_.RegSetValueExA(key, "V", c.type,
                                           reinterpret_cast<const std::uint8_t*>(memory.data()),
                                           static_cast<std::uint32_t>(c.data.size())),
                  winerr::kSuccess);
        char stored[16] = {};
        DWORD size = sizeof stored;
        ASSERT_EQ(::RegQueryValueExA(ToWin<HKEY>(key), "V", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(stored), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::string(stored, size), c.stored);
    }
    registry_.RegCloseKey(key);
}

TEST_F(Win32RegistryTest, NumbersRoundTripAndReadAsText) {
    for (const std::int32_t number : {0, 1, 32767, -1, 0x12345678}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(reg_.WriteRegDWORD(kHkeyCurrentUser, Path("\\Settings"), "HotCorners", number));
        std::int32_t read = 99;
        EXPECT_TRUE(reg_.ReadRegDWORD(kHkeyCurrentUser, Path("\\Settings"), "HotCorners", read));
        EXPECT_EQ(read, number);
        std::string text;
        EXPECT_TRUE(reg_.ReadRegString(kHkeyCurrentUser, Path("\\Settings"), "HotCorners", text));
        EXPECT_EQ(text, std::to_string(number));
    }
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesAndWrongTypesFail) {
    ASSERT_TRUE(reg_.WriteRegString(kHkeyCurrentUser, Path(""), "Text", "abc"));
    std::int32_t number = 7;
    EXPECT_FALSE(reg_.ReadRegDWORD(kHkeyCurrentUser, Path(""), "Text", number));
    EXPECT_FALSE(reg_.ReadRegDWORD(kHkeyCurrentUser, Path(""), "Missing", number));
    EXPECT_FALSE(reg_.ReadRegDWORD(kHkeyCurrentUser, Path("\\Missing"), "Text", number));
    EXPECT_EQ(number, 7);
    EXPECT_FALSE(reg_.DeleteRegValue(kHkeyCurrentUser, Path(""), "Missing"));
    EXPECT_FALSE(reg_.DeleteRegValue(kHkeyCurrentUser, Path("\\Missing"), "Text"));
    EXPECT_TRUE(reg_.DeleteRegValue(kHkeyCurrentUser, Path(""), "Text"));
    std::string text = "kept?";
    EXPECT_FALSE(reg_.ReadRegString(kHkeyCurrentUser, Path(""), "Text", text));
    EXPECT_EQ(text, "");
}

TEST_F(Win32RegistryTest, OtherTextTypesLeaveTheOutputAlone) {
    HKey key = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(kHkeyCurrentUser, testKey_, key), winerr::kSuccess);
    const std::string expand = "%SystemRoot%";
    EXPECT_EQ(registry_.RegSetValueExA(key, "Expand", regtype::kExpandSz,
                                       reinterpret_cast<const std::uint8_t*>(expand.c_str()),
                                       static_cast<std::uint32_t>(expand.size() + 1)),
              winerr::kSuccess);
    registry_.RegCloseKey(key);
    std::string text = "unchanged";
    EXPECT_TRUE(reg_.ReadRegString(kHkeyCurrentUser, testKey_, "Expand", text));
    EXPECT_EQ(text, "unchanged");
}

TEST_F(Win32RegistryTest, TextIsStoredInTheCodePageAndReadBackAsUtf8) {
    const std::string cafe = "Caf\xC3\xA9";  // "Café"
    char probe = 0;
    BOOL lost = FALSE;
    if (::WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, &probe, 1, nullptr, &lost) != 1 || lost) {
        GTEST_SKIP() << "the ANSI code page has no e acute";
    }
    ASSERT_TRUE(reg_.WriteRegString(kHkeyCurrentUser, Path("\\Caf\xC3\xA9"), cafe, cafe));
    const std::wstring path =
        L"Software\\WakewatchTest\\" + std::to_wstring(::GetCurrentProcessId());
    EXPECT_EQ(StoredText(path + L"\\Caf\u00E9", L"Caf\u00E9"), L"Caf\u00E9");
    std::string read;
    EXPECT_TRUE(reg_.ReadRegString(kHkeyCurrentUser, Path("\\Caf\xC3\xA9"), cafe, read));
    EXPECT_EQ(read, cafe);

    // Stored as "Caf", e acute and NUL, 5 bytes; as UTF-8 it is 6, so a
    // buffer that holds the stored bytes is still too small.
    HKey key = 0;
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, Path("\\Caf\xC3\xA9"), key), 0);
    std::uint8_t buffer[8] = {};
    std::uint32_t size = 5;
    EXPECT_EQ(registry_.RegQueryValueExA(key, cafe, nullptr, buffer, &size), winerr::kMoreData);
    EXPECT_EQ(size, 6u);
    size = 6;
    EXPECT_EQ(registry_.RegQueryValueExA(key, cafe, nullptr, buffer, &size), winerr::kSuccess);
    EXPECT_EQ(std::string(buffer, buffer + size), cafe + std::string(1, '\0'));
    registry_.RegCloseKey(key);
}

}  // namespace
}  // namespace ww::platform
