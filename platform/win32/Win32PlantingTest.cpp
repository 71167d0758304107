#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/SystemFolder.h"
#include "platform/win32/Win32Calls.h"
#include "platform/win32/Win32InterfaceTable.h"
#include "platform/win32/Win32Shell.h"

// This program's folder also holds iphlpapi.dll, cmd.exe and rundll32.exe
// of its own making (see System.cmake), as a Downloads folder might.
namespace ww::platform {
namespace {

std::string Temp(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Upper(std::string text) {
    ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

class PlantedBesideTheProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"iphlpapi.dll", "cmd.exe", "rundll32.exe"}) {
            const std::string planted = ProgramFolder() + "\\" + name;
            ASSERT_NE(::GetFileAttributesA(planted.c_str()), INVALID_FILE_ATTRIBUTES)
                << "nothing planted at " << planted;
        }
        ::DeleteFileA(marker_.c_str());
    }
    void TearDown() override { ::DeleteFileA(marker_.c_str()); }

    // What the planted code wrote, if it ever ran.
    std::string Planted() const { return ReadAll(marker_); }

    std::string marker_ = Temp("wakewatch-planted.txt");
};

TEST_F(PlantedBesideTheProgram, TheInterfaceTableComesFromTheSystemsLibrary) {
    Win32InterfaceTable table;
    std::vector<InterfaceOctets> rows;
    EXPECT_NE(table.GetIfTable(rows), 0x5757u);
    EXPECT_EQ(Planted(), "");
    char loaded[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(::GetModuleHandleA("iphlpapi.dll"), loaded, MAX_PATH);
    EXPECT_EQ(Upper(std::string(loaded, length)), Upper(SystemFolder() + "\\iphlpapi.dll"));
}

TEST_F(PlantedBesideTheProgram, ProgramsNamedWithoutAFolderAreTheSystems) {
    const std::string output = Temp("wakewatch-system-cmd.txt");
    ::DeleteFileA(output.c_str());
    Win32Shell shell;
    ASSERT_TRUE(shell.StartCommandLine("cmd.exe /c echo system>\"" + output + "\"", kSwShowNormal));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadAll(output).empty() && Planted().empty() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(ReadAll(output).substr(0, 6), "system");
    EXPECT_EQ(Planted(), "");
    ::DeleteFileA(output.c_str());

    // rundll32 as the menu starts it: by the system folder's full path.
    EXPECT_EQ(ProgramName("rundll32.exe shell32.dll,Control_RunDLL desk.cpl,,1"), "rundll32.exe");
    const std::string rundll32 = SystemProgramPath("rundll32.exe");
    EXPECT_EQ(Upper(rundll32), Upper(SystemFolder() + "\\rundll32.exe"));
    EXPECT_EQ(SystemProgramPath(ProgramFolder() + "\\rundll32.exe"), "");
    EXPECT_EQ(ProgramName("\"C:\\Program Files\\x.exe\" -y"), "C:\\Program Files\\x.exe");
}

}  // namespace
}  // namespace ww::platform
