#include "platform/win32/Win32Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// wakewatch.exe's resources, read as data from the program file beside
// this test program.
class Win32ResourcesTest : public ::testing::Test {
  protected:
    Win32ResourcesTest() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string exe(path);
        exe = exe.substr(0, exe.find_last_of('\\') + 1) + "wakewatch.exe";
        module_ = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~Win32ResourcesTest() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }

    std::string Data(int id, LPCSTR type) const {
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) {
            return std::string();
        }
        HGLOBAL loaded = LoadResource(module_, found);
        const char* bytes = static_cast<const char*>(LockResource(loaded));
        return std::string(bytes, SizeofResource(module_, found));
    }

    static unsigned Word(const std::string& data, std::size_t at) {
        return static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1])
                                                          << 8U;
    }

    HMODULE module_ = nullptr;
};

TEST_F(Win32ResourcesTest, TheProgramIconHasA32And16PixelImageIn16Colours) {
    ASSERT_NE(module_, nullptr);
    // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
    const std::string group = Data(WW_IDI_PROGRAM, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u + 2 * 14u);
    EXPECT_EQ(Word(group, 2), 1u);
    ASSERT_EQ(Word(group, 4), 2u);
    const struct { unsigned size; } expected[] = {{32}, {16}};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t entry = 6 + 14 * i;
        EXPECT_EQ(static_cast<unsigned char>(group[entry]), expected[i].size);
        EXPECT_EQ(static_cast<unsigned char>(group[entry + 1]), expected[i].size);
        EXPECT_EQ(static_cast<unsigned char>(group[entry + 2]), 16u);  // colours
        EXPECT_EQ(Word(group, entry + 6), 4u);                         // bits per pixel
    }
}

TEST_F(Win32ResourcesTest, TheHandCursorIs32PixelsWithItsHotSpotAtTheFingerTip) {
    ASSERT_NE(module_, nullptr);
    const std::string group = Data(WW_IDC_HAND, MAKEINTRESOURCEA(12));  // RT_GROUP_CURSOR
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(Word(group, 2), 2u);
    ASSERT_EQ(Word(group, 4), 1u);
    EXPECT_EQ(Word(group, 6), 32u);  // width
    EXPECT_EQ(Word(group, 8), 64u);  // height of colour and mask together
    EXPECT_EQ(Word(group, 12), 1u);  // monochrome
    const unsigned cursorId = Word(group, 18);
    const std::string cursor = Data(static_cast<int>(cursorId), MAKEINTRESOURCEA(1));  // RT_CURSOR
    ASSERT_GE(cursor.size(), 4u);
    EXPECT_EQ(Word(cursor, 0), 13u);
    EXPECT_EQ(Word(cursor, 2), 5u);
}

TEST_F(Win32ResourcesTest, TheVersionRecordSays151) {
    ASSERT_NE(module_, nullptr);
    const std::string version = Data(1, MAKEINTRESOURCEA(16));  // RT_VERSION
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
    const std::size_t fixed = version.find(std::string(signature, 4));
    ASSERT_NE(fixed, std::string::npos);
    // VS_FIXEDFILEINFO: signature, struct version, then file version MS, LS.
    EXPECT_EQ(Word(version, fixed + 10), 1u);  // major (high word of MS)
    EXPECT_EQ(Word(version, fixed + 8), 5u);   // minor
    EXPECT_EQ(Word(version, fixed + 12), 1u);  // revision (low word of LS)
    // "1.5.1" as the version texts carry it, in UTF-16.
    const std::string text("1\0.\0005\0.\0001\0", 10);
    EXPECT_NE(version.find(text), std::string::npos);
}

TEST_F(Win32ResourcesTest, ThereIsNoManifest) {
    ASSERT_NE(module_, nullptr);
    EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
}

}  // namespace
}  // namespace ww::platform
