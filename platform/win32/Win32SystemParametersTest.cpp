#include "platform/win32/Win32SystemParameters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// Sets the flag in memory only and puts it back.
class Win32SystemParametersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parameters_.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &original_, 0));
    }
    void TearDown() override {
        parameters_.SystemParametersInfoA(spi::kSetScreenSaveActive,
                                          static_cast<std::uint32_t>(original_), nullptr, 0);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    std::int32_t Active() {
        std::int32_t active = -7;
        EXPECT_TRUE(parameters_.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &active, 0));
        return active;
    }

    static constexpr const char* kTestKey = "Software\\Wakewatch tests\\ScreenSaver";
    Win32SystemParameters parameters_{Win32SaverMarker(kTestKey)};
    std::int32_t original_ = 0;
};

TEST_F(Win32SystemParametersTest, FlagReadsBackWhatWasSet) {
    EXPECT_TRUE(original_ == 0 || original_ == 1) << original_;
    for (const std::uint32_t flag : {0u, 1u, 0u}) {
        SCOPED_TRACE(flag);
        EXPECT_TRUE(parameters_.SystemParametersInfoA(spi::kSetScreenSaveActive, flag, nullptr, 0));
        EXPECT_EQ(Active(), static_cast<std::int32_t>(flag));
    }
}

TEST(Win32SystemParametersRefusalTest, OtherActionsAndNullResultsAreRefused) {
    Win32SystemParameters parameters;
    std::int32_t value = 5;
    EXPECT_FALSE(parameters.SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &value, 0));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(parameters.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, nullptr, 0));
}

TEST(Win32SaverSwitchTest, PersistsOnTheNtFamilyOnly) {
    const struct {
        DWORD platformId;
        bool persists;
    } cases[] = {
        {0, false}, {VER_PLATFORM_WIN32_WINDOWS, false}, {VER_PLATFORM_WIN32_NT, true}, {3, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(SaverSwitchPersistsOn(c.platformId), c.persists) << c.platformId;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_NE(::GetVersionExA(&version), FALSE);
    Win32SystemParameters parameters;
    EXPECT_EQ(parameters.SaverSwitchPersists(), version.dwPlatformId == VER_PLATFORM_WIN32_NT);
}

// The marker of a test key of its own; the flag itself is the prefix's.
class SaverMarkerTest : public ::testing::Test {
  protected:
    static constexpr const char* kKey = "Software\\Wakewatch tests\\ScreenSaver";

    void SetUp() override {
        ASSERT_TRUE(Plain().SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &original_, 0));
    }
    void TearDown() override {
        ::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(original_), nullptr, 0);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    }
    static Win32SystemParameters Plain() { return Win32SystemParameters(Win32SaverMarker(kKey)); }
    static std::int32_t Active() {
        std::int32_t active = -7;
        EXPECT_TRUE(Plain().SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &active, 0));
        return active;
    }
    static std::optional<DWORD> Marker() {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        DWORD value = 0;
        DWORD size = sizeof value;
        const LONG result = ::RegQueryValueExA(key, "SwitchedOffBy", nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(&value), &size);
        ::RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::optional<DWORD>(value) : std::nullopt;
    }
    static void SetMarker(DWORD processId, std::optional<std::uint64_t> started = std::nullopt) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                    &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, "SwitchedOffBy", 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&processId), sizeof processId);
        if (started) {
            ::RegSetValueExA(key, "SwitchedOffByStarted", 0, REG_BINARY,
                             reinterpret_cast<const BYTE*>(&*started), sizeof *started);
        }
        ::RegCloseKey(key);
    }
    // When this process started, as GetProcessTimes gives it.
    static std::uint64_t OwnStart() {
        FILETIME created{};
        FILETIME other{};
        ::GetProcessTimes(::GetCurrentProcess(), &created, &other, &other, &other);
        return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    }
    // The id of a process that has ended.
    static DWORD EndedProcess() {
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        std::string command = std::string(system) + "\\cmd.exe";
        std::string line = "cmd.exe /c exit 0";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!::CreateProcessA(command.c_str(), line.data(), nullptr, nullptr, FALSE,
                              CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return 0;
        }
        ::WaitForSingleObject(process.hProcess, 10000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return process.dwProcessId;
    }

    std::int32_t original_ = 0;
};

TEST_F(SaverMarkerTest, WrittenBeforeTheHoldAndClearedAfterTheRelease) {
    Win32SystemParameters parameters = Plain();
    ASSERT_TRUE(parameters.SystemParametersInfoA(spi::kSetScreenSaveActive, 0, nullptr, 0));
    EXPECT_EQ(Marker(), ::GetCurrentProcessId());
    EXPECT_EQ(Active(), 0);
    ASSERT_TRUE(parameters.SystemParametersInfoA(spi::kSetScreenSaveActive, 1, nullptr, 0));
    EXPECT_EQ(Marker(), std::nullopt);
    EXPECT_EQ(Active(), 1);
}

TEST_F(SaverMarkerTest, WrittenWithTheStartOfThisProcess) {
    Win32SystemParameters parameters = Plain();
    ASSERT_TRUE(parameters.SystemParametersInfoA(spi::kSetScreenSaveActive, 0, nullptr, 0));
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::uint64_t started = 0;
    DWORD size = sizeof started;
    EXPECT_EQ(::RegQueryValueExA(key, "SwitchedOffByStarted", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&started), &size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(started, OwnStart());
    ASSERT_TRUE(parameters.SystemParametersInfoA(spi::kSetScreenSaveActive, 1, nullptr, 0));
}

// Without the marker a run that ends early could not be told from the user's
// own "off": the saver stays on, and the switch says it failed.
TEST_F(SaverMarkerTest, AMarkerThatCannotBeWrittenLeavesTheSaverOn) {
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0));
    // Lasting keys cannot be made below a volatile one.
    const char* volatileKey = "Software\\Wakewatch tests\\Volatile";
    HKEY parent = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, volatileKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_WRITE, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(parent);
    Win32SystemParameters parameters(Win32SaverMarker(std::string(volatileKey) + "\\ScreenSaver"));
    EXPECT_FALSE(parameters.SystemParametersInfoA(spi::kSetScreenSaveActive, 0, nullptr, 0));
    EXPECT_EQ(Active(), 1);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, volatileKey);
}

TEST_F(SaverMarkerTest, AtStartAMarkerOfAnEndedRunSwitchesTheSaverBackOn) {
    const DWORD ended = EndedProcess();
    ASSERT_NE(ended, 0u);
    const struct {
        const char* name;
        std::optional<DWORD> marker;
        std::uint32_t flag;  // when the program starts
        bool repaired;
        std::int32_t after;
        bool markerStays;
        std::optional<std::uint64_t> started = std::nullopt;
    } cases[] = {
        {"ended run, saver off", ended, 0, true, 1, false},
        {"ended run, saver switched on since", ended, 1, false, 1, false},
        {"this run's own marker", ::GetCurrentProcessId(), 0, false, 0, true},
        {"this run's own marker with its start", ::GetCurrentProcessId(), 0, false, 0, true,
         OwnStart()},
        // The run that wrote it has ended and its id went to this process.
        {"an id used again by a later process", ::GetCurrentProcessId(), 0, true, 1, false,
         OwnStart() - 10'000'000},
        {"no marker: the user's own choice", std::nullopt, 0, false, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        // As the user (or an earlier run) left it, without a marker of this run.
        ASSERT_TRUE(::SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, c.flag, nullptr, 0));
        if (c.marker) {
            SetMarker(*c.marker, c.started);
        }
        Win32SystemParameters parameters = Plain();
        EXPECT_EQ(parameters.RepairLeftover(), c.repaired);
        EXPECT_EQ(Active(), c.after);
        EXPECT_EQ(Marker().has_value(), c.markerStays);
    }
}

}  // namespace
}  // namespace ww::platform
