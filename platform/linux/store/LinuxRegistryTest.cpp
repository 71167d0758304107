#include "platform/linux/store/LinuxRegistry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/common/RegistryContract.h"
#include "platform/linux/store/AtomicFile.h"
#include "platform/linux/store/StoreTestSupport.h"
#include "platform/linux/store/TrustedProgram.h"

namespace ww::platform {
namespace {

using test::Exists;
using test::ReadText;
using test::WriteText;

constexpr const char* kSettings = "Software\\Wakewatch\\Settings";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Owned by root in every folder above it, so it may start for all users.
constexpr const char* kTrustedProgram = "/usr/bin/env";

using Data = std::vector<std::uint8_t>;
// A value's data, or the error that kept it from being read.
using Result = std::variant<std::int32_t, Data>;

Data Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

struct LinuxBackend {
    Registry& registry() { return registry_; }
    std::size_t OpenKeyCount() { return registry_.OpenKeyCount(); }
    std::string TestKey() { return "Software\\WakewatchTest"; }

    test::StoreSandbox sandbox_;
    std::ostringstream diagnostics_;
    LinuxRegistry registry_{sandbox_.paths(), diagnostics_};
};
INSTANTIATE_TYPED_TEST_SUITE_P(LinuxRegistry, RegistryContract, LinuxBackend);

class LinuxRegistryTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(registry_.OpenKeyCount(), 0u); }

    // Creates the key and sets the value, as the program's writers do.
    std::int32_t Set(HKey root, const std::string& path, const std::string& name,
                     std::uint32_t type, const std::vector<std::uint8_t>& data) {
        HKey key = 0;
        std::int32_t result = registry_.RegCreateKeyA(root, path, key);
        if (result == winerr::kSuccess) {
            result = registry_.RegSetValueExA(key, name, type, data.data(),
                                              static_cast<std::uint32_t>(data.size()));
            registry_.RegCloseKey(key);
        }
        return result;
    }
    std::int32_t SetText(HKey root, const std::string& path, const std::string& name,
                         const std::string& text) {
        return Set(root, path, name, regtype::kSz, Bytes(text));
    }
    std::int32_t SetNumber(HKey root, const std::string& path, const std::string& name,
                           std::uint8_t low) {
        return Set(root, path, name, regtype::kDword, {low, 0, 0, 0});
    }
    Result Get(HKey root, const std::string& path, const std::string& name) {
        return Get(registry_, root, path, name);
    }
    static Result Get(Registry& registry, HKey root, const std::string& path,
                      const std::string& name) {
        HKey key = 0;
        std::int32_t result = registry.RegOpenKeyA(root, path, key);
        if (result != winerr::kSuccess) {
            return result;
        }
        Data data(1024);
        std::uint32_t size = 1024;
        std::uint32_t type = 0;
        result = registry.RegQueryValueExA(key, name, &type, data.data(), &size);
        registry.RegCloseKey(key);
        if (result != winerr::kSuccess) {
            return result;
        }
        data.resize(size);
        return data;
    }

    test::StoreSandbox sandbox_;
    StorePaths paths_ = sandbox_.paths();
    std::ostringstream diagnostics_;
    LinuxRegistry registry_{paths_, diagnostics_};
};

TEST_F(LinuxRegistryTest, ValuesRoundTripThroughTheEditorFormat) {
    ASSERT_EQ(SetText(kHkeyCurrentUser, kSettings, "Path", "C:\\Tools\\\"ww\""), 0);
    ASSERT_EQ(SetText(kHkeyCurrentUser, kSettings, "Empty", std::string(1, '\0')), 0);
    ASSERT_EQ(SetNumber(kHkeyCurrentUser, kSettings, "HotCorners", 31), 0);
    ASSERT_EQ(Set(kHkeyCurrentUser, "Software\\Other", "", regtype::kExpandSz, {0x25, 0}), 0);
    EXPECT_EQ(ReadText(paths_.userFile),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\n"
              "\"Path\"=\"C:\\\\Tools\\\\\\\"ww\\\"\"\n"
              "\"Empty\"=\"\"\n"
              "\"HotCorners\"=dword:0000001f\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n"
              "@=hex(2):25,00\n");
    EXPECT_FALSE(Exists(paths_.machineFile));

    std::ostringstream quiet;
    LinuxRegistry again(paths_, quiet);
    EXPECT_EQ(std::get<Data>(Get(again, kHkeyCurrentUser, kSettings, "path")),
              Bytes("C:\\Tools\\\"ww\""));
    EXPECT_EQ(std::get<Data>(Get(again, kHkeyCurrentUser, kSettings, "Empty")), Data{});
    EXPECT_EQ(std::get<Data>(Get(again, kHkeyCurrentUser, kSettings, "HotCorners")),
              (Data{31, 0, 0, 0}));
    EXPECT_EQ(std::get<Data>(Get(again, kHkeyCurrentUser, "software\\other", "")), (Data{0x25, 0}));
    EXPECT_EQ(std::get<std::int32_t>(Get(again, kHkeyLocalMachine, kSettings, "HotCorners")),
              winerr::kFileNotFound);
}

TEST_F(LinuxRegistryTest, TheRunKeyAlwaysExistsAndADeletedKeysParentStaysInTheFile) {
    HKey key = 0;
    // The Run key is always there, even in an empty store.
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyLocalMachine, kRun, key), 0);
    EXPECT_EQ(registry_.RegCloseKey(key), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHkeyCurrentUser, kRun), winerr::kAccessDenied);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHkeyCurrentUser, "Software"), winerr::kAccessDenied);
    EXPECT_FALSE(Exists(paths_.userFile));

    ASSERT_EQ(SetNumber(kHkeyCurrentUser, kSettings, "SleeperActive", 1), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHkeyCurrentUser, kSettings), 0);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHkeyCurrentUser, "Software\\Wakewatch"), 0);
    EXPECT_EQ(ReadText(paths_.userFile),
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n");
    EXPECT_EQ(diagnostics_.str(), "");
}

TEST_F(LinuxRegistryTest, AWriteKeepsEveryOtherKeyAndValueAndAnUnchangedFileIsNotRewritten) {
    const std::string seeded =
        "Windows Registry Editor Version 5.00\r\n"
        "; kept by hand\r\n"
        "[HKEY_CURRENT_USER\\Software\\Zed]\r\n"
        "@=\"Grüße\"\r\n"
        "\"Bin\"=hex:00,ff\r\n"
        "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\r\n"
        "\"Keep\"=dword:00000002\r\n";
    WriteText(paths_.userFile, seeded);
    HKey key = 0;
    ASSERT_EQ(registry_.RegCreateKeyA(kHkeyCurrentUser, kSettings, key), 0);
    registry_.RegCloseKey(key);
    EXPECT_EQ(ReadText(paths_.userFile), seeded);  // creating an existing key writes nothing

    ASSERT_EQ(SetNumber(kHkeyCurrentUser, kSettings, "New", 1), 0);
    EXPECT_EQ(ReadText(paths_.userFile),
              "Windows Registry Editor Version 5.00\n"
              "; kept by hand\n"
              "[HKEY_CURRENT_USER\\Software\\Zed]\n"
              "@=\"Grüße\"\n"
              "\"Bin\"=hex:00,ff\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\n"
              "\"Keep\"=dword:00000002\n"
              "\"New\"=dword:00000001\n");
}

TEST_F(LinuxRegistryTest, TheMachineOverlayTakesRefusedWritesAndIsReadFirst) {
    const std::string system =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
        "\"HotCorners\"=dword:00000000\n"
        "\"Other\"=\"from the system\"\n";
    WriteText(paths_.machineFile, system);
    // Each step that goes wrong answers with its own number.
    const int failedStep = sandbox_.AsOrdinaryUser([&] {
        HKey key = 0;
        if (SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 1) != 0)
            return 1;
        if (Get(kHkeyLocalMachine, kSettings, "HotCorners") != Result{Data{1, 0, 0, 0}})
            return 2;
        if (Get(kHkeyLocalMachine, kSettings, "Other") != Result{Bytes("from the system")})
            return 3;
        if (registry_.RegCreateKeyA(kHkeyLocalMachine, "Software\\Wakewatch\\New", key) != 0)
            return 4;
        registry_.RegCloseKey(key);
        if (registry_.RegOpenKeyA(kHkeyLocalMachine, kSettings, key) != 0)
            return 5;
        const auto deleted = registry_.RegDeleteValueA(key, "Other");
        registry_.RegCloseKey(key);
        if (deleted != winerr::kAccessDenied)
            return 6;
        if (SetText(kHkeyLocalMachine, kRun, "Wakewatch", "/usr/bin/wakewatch") !=
            winerr::kAccessDenied) {
            return 7;  // starting for everyone has no overlay
        }
        return 0;
    });
    EXPECT_EQ(failedStep, 0);
    EXPECT_EQ(ReadText(paths_.machineFile), system);
    EXPECT_EQ(ReadText(paths_.machineOverlay),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
              "\"HotCorners\"=dword:00000001\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\New]\n");
    EXPECT_FALSE(Exists(paths_.machineAutostart));
    EXPECT_FALSE(Exists(paths_.userAutostart));

    // Once the overlay holds a value, it keeps it, whoever writes.
    EXPECT_EQ(Get(kHkeyLocalMachine, kSettings, "HotCorners"), (Result{Data{1, 0, 0, 0}}));
    ASSERT_EQ(SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 0), 0);
    EXPECT_EQ(ReadText(paths_.machineFile), system);
    EXPECT_EQ(Get(kHkeyLocalMachine, kSettings, "HotCorners"), (Result{Data{0, 0, 0, 0}}));
}

TEST_F(LinuxRegistryTest, ATightUmaskKeepsSharedFoldersReadableAndAnUnreadableOneIsSkipped) {
    const mode_t before = umask(077);
    const std::int32_t machine = SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 1);
    const std::int32_t run = SetText(kHkeyLocalMachine, kRun, "Wakewatch", kTrustedProgram);
    const std::int32_t user = SetNumber(kHkeyCurrentUser, kSettings, "Mine", 1);
    umask(before);
    ASSERT_EQ(machine, 0);
    ASSERT_EQ(run, 0);
    ASSERT_EQ(user, 0);
    const auto mode = [](const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0u;
    };
    EXPECT_EQ(mode(sandbox_.configDir() + "/wakewatch"), 0755u);
    EXPECT_EQ(mode(sandbox_.configDir() + "/autostart"), 0755u);
    EXPECT_EQ(mode(paths_.machineFile), 0644u);
    EXPECT_EQ(mode(paths_.machineAutostart), 0644u);
    EXPECT_EQ(mode(sandbox_.configHome() + "/wakewatch"), 0700u);
    EXPECT_EQ(sandbox_.AsOrdinaryUser([&] {
        std::ostringstream quiet;
        LinuxRegistry mine(paths_, quiet);
        if (Get(mine, kHkeyLocalMachine, kSettings, "HotCorners") != Result{Data{1, 0, 0, 0}})
            return 1;
        return Get(mine, kHkeyLocalMachine, kRun, "Wakewatch") == Result{Bytes(kTrustedProgram)}
                   ? 0
                   : 2;
    }),
              0);

    // A system folder left private (by an older release) reads as empty:
    // the user's own copy stands alone and takes the user's writes.
    chmod((sandbox_.configDir() + "/wakewatch").c_str(), 0700);
    chmod(paths_.machineFile.c_str(), 0);  // modes stop the owner only through the file
    EXPECT_EQ(sandbox_.AsOrdinaryUser([&] {
        std::ostringstream quiet;
        LinuxRegistry mine(paths_, quiet);
        if (Get(mine, kHkeyLocalMachine, kSettings, "HotCorners") != Result{winerr::kFileNotFound})
            return 1;
        HKey key = 0;
        if (mine.RegCreateKeyA(kHkeyLocalMachine, kSettings, key) != 0)
            return 2;
        const std::uint8_t zero[4] = {};
        const std::int32_t set = mine.RegSetValueExA(key, "HotCorners", regtype::kDword, zero, 4);
        mine.RegCloseKey(key);
        if (set != 0)
            return 3;
        return Get(mine, kHkeyLocalMachine, kSettings, "HotCorners") == Result{Data{0, 0, 0, 0}}
                   ? 0
                   : 4;
    }),
              0);
    chmod(paths_.machineFile.c_str(), 0644);
    EXPECT_NE(ReadText(paths_.machineOverlay).find("\"HotCorners\"=dword:00000000"),
              std::string::npos);
    EXPECT_NE(ReadText(paths_.machineFile).find("\"HotCorners\"=dword:00000001"),
              std::string::npos);
}

TEST_F(LinuxRegistryTest, MachineWritesGoToTheSystemFileWhenAllowed) {
    ASSERT_EQ(SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 1), 0);
    EXPECT_EQ(ReadText(paths_.machineFile),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
              "\"HotCorners\"=dword:00000001\n");
    EXPECT_FALSE(Exists(paths_.machineOverlay));
    ASSERT_EQ(SetText(kHkeyLocalMachine, kRun, "Wakewatch", kTrustedProgram), 0);
    EXPECT_EQ(ReadText(paths_.machineAutostart),
              "[Desktop Entry]\nType=Application\nName=Wakewatch\nExec=/usr/bin/env\n");
}

// Root started with another user's XDG_CONFIG_HOME (sudo -E): nothing of
// that user's is followed or written, nor a folder made among theirs; the
// write is refused and stderr says why.
TEST(LinuxRegistryAsRoot, WritesNothingThroughAnotherUsersFolders) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can hand the folders to another user";
    }
    constexpr uid_t kOther = 65534;
    const std::string rootsReg = "Windows Registry Editor Version 5.00\n";
    const std::string rootsEntry = "[Desktop Entry]\nExec=/usr/bin/env\n";
    struct Case {
        const char* name;
        bool autostart;  // the Run value rather than a setting
        // Lays out the user's side below <root>/home, given the root-only
        // files a link may point at; owned by the other user unless `ours`.
        std::function<void(const test::StoreSandbox&, const StorePaths&)> plant;
        std::string says;  // the start of the reason, after the path
        std::vector<std::string> ours = {};
    };
    const auto give = [&](const std::string& path) { lchown(path.c_str(), kOther, kOther); };
    const std::vector<Case> cases = {
        {"ConfigFolderOfTheUser", false, [](auto&, auto&) {}, "the folder "},
        {"ConfigFolderOfTheUserForAutostart", true, [](auto&, auto&) {}, "the folder "},
        {"SettingsFolderOfTheUser", false,
         [](auto& box, auto&) {
             std::filesystem::create_directories(box.configHome() + "/wakewatch");
         },
         "the folder "},
        {"LinkToARootFile",
         false,
         [](auto& box, auto& paths) {
             std::filesystem::create_directories(box.configHome() + "/wakewatch");
             symlink((box.root() + "/secret.reg").c_str(), paths.userFile.c_str());
         },
         "the link ",
         {"/wakewatch"}},
        {"FileOfTheUserInRootsFolder",
         false,
         [&](auto& box, auto& paths) {
             std::filesystem::create_directories(box.configHome() + "/wakewatch");
             WriteText(paths.userFile, rootsReg);
         },
         "the file ",
         {"/wakewatch"}},
        {"LinkedAutostartEntry",
         true,
         [](auto& box, auto& paths) {
             std::filesystem::create_directories(box.configHome() + "/autostart");
             symlink((box.root() + "/secret.desktop").c_str(), paths.userAutostart.c_str());
         },
         "the link ",
         {"/autostart"}},
        {"ConfigFolderIsTheUsersLink", false,
         [](auto& box, auto&) {
             std::filesystem::remove(box.configHome());
             std::filesystem::create_directories(box.root() + "/roots");
             symlink((box.root() + "/roots").c_str(), box.configHome().c_str());
         },
         "the link "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::StoreSandbox box;
        const StorePaths paths = box.paths();
        WriteText(box.root() + "/secret.reg", rootsReg);
        WriteText(box.root() + "/secret.desktop", rootsEntry);
        chmod((box.root() + "/secret.reg").c_str(), 0600);
        chmod((box.root() + "/secret.desktop").c_str(), 0600);
        std::filesystem::create_directories(box.configHome());
        c.plant(box, paths);
        give(box.root() + "/home");
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(box.root() + "/home")) {
            give(entry.path().string());
        }
        for (const auto& mine : c.ours) {
            lchown((box.configHome() + mine).c_str(), 0, 0);
        }
        const auto before = test::ListFolder(box.configHome());

        std::ostringstream said;
        LinuxRegistry registry(paths, said);
        HKey key = 0;
        const std::string path = c.autostart ? kRun : kSettings;
        // Making the key is a write of its own.
        std::int32_t result = registry.RegCreateKeyA(kHkeyCurrentUser, path, key);
        if (result == winerr::kSuccess) {
            const std::string program = "/usr/bin/env";
            const std::uint8_t one[4] = {1, 0, 0, 0};
            result = c.autostart
                         ? registry.RegSetValueExA(
                               key, "Wakewatch", regtype::kSz,
                               reinterpret_cast<const std::uint8_t*>(program.c_str()),
                               static_cast<std::uint32_t>(program.size() + 1))
                         : registry.RegSetValueExA(key, "HotCorners", regtype::kDword, one, 4);
            registry.RegCloseKey(key);
        }
        EXPECT_EQ(result, winerr::kAccessDenied);

        EXPECT_EQ(ReadText(box.root() + "/secret.reg"), rootsReg);
        EXPECT_EQ(ReadText(box.root() + "/secret.desktop"), rootsEntry);
        EXPECT_EQ(test::ListFolder(box.configHome()), before) << "a folder was made";
        for (const auto& folder : {"/wakewatch", "/autostart"}) {
            if (Exists(box.configHome() + folder)) {
                for (const auto& name : test::ListFolder(box.configHome() + folder)) {
                    EXPECT_EQ(name.find(".lock"), std::string::npos) << name;
                }
            }
        }
        const std::string text = said.str();
        EXPECT_NE(text.find(" not written: " + c.says), std::string::npos) << text;
        EXPECT_NE(text.find("belongs to user 65534, and this program runs as user 0"),
                  std::string::npos)
            << text;
    }
}

TEST_F(LinuxRegistryTest, AllUsersStartOnlyAProgramThatOnlyRootCanChange) {
    // The test's folders lie below one others may write (/dev/shm, /tmp).
    const std::string mine = sandbox_.root() + "/bin/wakewatch";
    WriteText(mine, "#!/bin/sh\n");
    chmod(mine.c_str(), 0755);
    const auto namesAFolderAboveTheTest = [&](const std::string& why) {
        return why.find(' ') != std::string::npos &&
               sandbox_.root().starts_with(why.substr(0, why.find(' ')));
    };
    const std::string link = sandbox_.root() + "/env";
    ASSERT_EQ(symlink("/usr/bin/env", link.c_str()), 0);
    struct Case {
        std::string program;
        std::string why;  // empty: trusted; "?": any folder above the test's
    };
    const std::vector<Case> cases = {
        {"/usr/bin/env", ""},
        {"/bin/sh", ""},  // through links, on merged-/usr systems
        {"/usr/bin/../bin/./env", ""},
        {mine, "?"},
        {link, "?"},
        {"/usr/bin/no such program",
         "/usr/bin/no such program cannot be checked: No such file or directory"},
        {"/usr/bin", "/usr/bin is not a regular file"},
        {"/usr/bin/env/x", "/usr/bin/env is not a folder"},
        {"wakewatch", "\"wakewatch\" is not an absolute path"},
    };
    for (const auto& c : cases) {
        const std::string why = WhyNotTrusted(c.program).value_or("");
        if (c.why == "?") {
            EXPECT_TRUE(namesAFolderAboveTheTest(why)) << c.program << ": " << why;
        } else {
            EXPECT_EQ(why, c.why) << c.program;
        }
    }

    EXPECT_EQ(SetText(kHkeyLocalMachine, kRun, "Wakewatch", "\"" + mine + "\""),
              winerr::kAccessDenied);
    EXPECT_FALSE(Exists(paths_.machineAutostart));
    EXPECT_EQ(diagnostics_.str(), "Wakewatch: " + paths_.machineAutostart +
                                      " not written: " + WhyNotTrusted(mine).value_or("") +
                                      ", so someone other than root could change the program "
                                      "and have it run in every user's session\n");
    // The current user's own entry may name any program.
    EXPECT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", "\"" + mine + "\""), 0);
    EXPECT_EQ(SetText(kHkeyLocalMachine, kRun, "Wakewatch", "\"/usr/bin/env\""), 0);
    EXPECT_EQ(Get(kHkeyLocalMachine, kRun, "Wakewatch"), Result{Bytes("/usr/bin/env")});
}

TEST_F(LinuxRegistryTest, TheRunValueIsTheAutostartEntry) {
    ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", "/opt/my apps/wakewatch"), 0);
    EXPECT_EQ(ReadText(paths_.userAutostart),
              "[Desktop Entry]\nType=Application\nName=Wakewatch\n"
              "Exec=\"/opt/my apps/wakewatch\"\n");
    EXPECT_FALSE(Exists(paths_.userFile));
    EXPECT_EQ(Get(kHkeyCurrentUser, kRun, "WAKEWATCH"), Result{Bytes("/opt/my apps/wakewatch")});
    EXPECT_EQ(Get(kHkeyLocalMachine, kRun, "Wakewatch"), Result{winerr::kFileNotFound});

    // Text with its terminator is the same text; numbers have no place in Exec=.
    ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", std::string("/bin/ww\0", 8)), 0);
    EXPECT_EQ(Get(kHkeyCurrentUser, kRun, "Wakewatch"), Result{Bytes("/bin/ww")});
    EXPECT_EQ(SetNumber(kHkeyCurrentUser, kRun, "Wakewatch", 1), kErrorInvalidParameter);
    // Other programs' values under Run are ordinary values.
    ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Other", "x"), 0);
    EXPECT_TRUE(Exists(paths_.userFile));

    HKey key = 0;
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kRun, key), 0);
    EXPECT_EQ(registry_.RegDeleteValueA(key, "Wakewatch"), 0);
    EXPECT_EQ(registry_.RegDeleteValueA(key, "Wakewatch"), winerr::kFileNotFound);
    registry_.RegCloseKey(key);
    EXPECT_FALSE(Exists(paths_.userAutostart));
    EXPECT_EQ(Get(kHkeyCurrentUser, kRun, "Wakewatch"), Result{winerr::kFileNotFound});
}

TEST_F(LinuxRegistryTest, AQuotedRunCommandLineIsOneExecArgument) {
    struct Case {
        std::string text;
        std::string exec;
        std::string read;
    };
    const std::vector<Case> cases = {
        {"\"/opt/my apps/wakewatch\"", "Exec=\"/opt/my apps/wakewatch\"", "/opt/my apps/wakewatch"},
        {"\"/usr/bin/wakewatch\"", "Exec=/usr/bin/wakewatch", "/usr/bin/wakewatch"},
        {"\"/opt/100%/$HOME\"", "Exec=\"/opt/100%%/\\\\$HOME\"", "/opt/100%/$HOME"},
        // The quotes around it go, whatever the path between them holds.
        {"\"/a\" \"/b\"", "Exec=\"/a\\\\\" \\\\\"/b\"", "/a\" \"/b"},
        // Not one quoted path: the text is the path as it stands.
        {"\"", "Exec=\"\\\\\"\"", "\""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", c.text), 0) << c.text;
        EXPECT_EQ(ReadText(paths_.userAutostart),
                  "[Desktop Entry]\nType=Application\nName=Wakewatch\n" + c.exec + "\n")
            << c.text;
        EXPECT_EQ(Get(kHkeyCurrentUser, kRun, "Wakewatch"), Result{Bytes(c.read)}) << c.text;
    }
}

TEST_F(LinuxRegistryTest, AutostartEntriesWrittenByOthersAreReadAndKept) {
    struct Case {
        std::string file;
        Result read;
    };
    const std::vector<Case> cases = {
        {"[Desktop Entry]\nExec=wakewatch -POPUP\n", Result{Bytes("wakewatch -POPUP")}},
        {"[Desktop Entry]\nExec=\"/a b/ww\" %U\n", Result{Bytes("/a b/ww")}},
        {"[Desktop Entry]\nType=Application\n", Result{Data{}}},
        {"[Desktop Entry]\nExec=ww\nHidden=true\n", Result{winerr::kFileNotFound}},
    };
    for (const auto& c : cases) {
        WriteText(paths_.userAutostart, c.file);
        EXPECT_EQ(Get(kHkeyCurrentUser, kRun, "Wakewatch"), c.read) << c.file;
    }
    WriteText(paths_.userAutostart,
              "# mine\n[Desktop Entry]\nName=Mine\nExec=old\nHidden=true\nX-Extra=1\n");
    ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", "/usr/bin/wakewatch"), 0);
    EXPECT_EQ(ReadText(paths_.userAutostart),
              "# mine\n[Desktop Entry]\nName=Mine\nExec=/usr/bin/wakewatch\nX-Extra=1\n");
}

TEST_F(LinuxRegistryTest, AnEntryADesktopSwitchedOffIsAbsentAndNeverDeleted) {
    WriteText(paths_.machineAutostart, "[Desktop Entry]\nExec=/usr/bin/wakewatch\n");
    struct Case {
        std::string lines;
        bool switchedOff;
    };
    const std::vector<Case> cases = {
        {"Hidden=true\n", true},
        {"X-GNOME-Autostart-enabled=false\n", true},
        {"X-MATE-Autostart-enabled=false\n", true},
        {"X-GNOME-Autostart-enabled = 0\n", true},
        {"X-GNOME-Autostart-enabled=true\n", false},
        {"Hidden=false\nX-MATE-Autostart-enabled=true\n", false},
    };
    for (const auto& c : cases) {
        const std::string user = "[Desktop Entry]\nExec=/usr/bin/wakewatch\n" + c.lines;
        WriteText(paths_.userAutostart, user);
        EXPECT_EQ(
            Get(kHkeyCurrentUser, kRun, "Wakewatch"),
            c.switchedOff ? Result{winerr::kFileNotFound} : Result{Bytes("/usr/bin/wakewatch")})
            << c.lines;
        // What the start-up clean-up does when both entries seem present.
        HKey key = 0;
        ASSERT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kRun, key), 0);
        EXPECT_EQ(registry_.RegDeleteValueA(key, "Wakewatch"),
                  c.switchedOff ? winerr::kFileNotFound : winerr::kSuccess)
            << c.lines;
        registry_.RegCloseKey(key);
        EXPECT_EQ(ReadText(paths_.userAutostart), c.switchedOff ? user : "") << c.lines;

        // Ticking the box again means it: the entry runs.
        WriteText(paths_.userAutostart, user);
        ASSERT_EQ(SetText(kHkeyCurrentUser, kRun, "Wakewatch", "/bin/ww"), 0);
        EXPECT_EQ(ReadText(paths_.userAutostart), "[Desktop Entry]\nExec=/bin/ww\n") << c.lines;
    }
}

TEST_F(LinuxRegistryTest, SettingsFilesAsPeopleKeepThem) {
    // Something other than a regular file, or a huge one, is neither read
    // nor waited on, and is said once.
    const std::string userFolder = sandbox_.configHome() + "/wakewatch";
    std::filesystem::create_directories(userFolder);
    ASSERT_EQ(mkfifo(paths_.userFile.c_str(), 0600), 0);
    std::filesystem::create_directories(sandbox_.configHome() + "/autostart");
    ASSERT_EQ(mkfifo(paths_.userAutostart.c_str(), 0600), 0);
    test::Child reader([&] {
        if (Get(kHkeyCurrentUser, kSettings, "Mine") != Result{winerr::kInvalidData})
            return 1;
        if (SetNumber(kHkeyCurrentUser, kSettings, "Mine", 1) != winerr::kInvalidData)
            return 2;
        unlink(paths_.userFile.c_str());
        if (Get(kHkeyCurrentUser, kRun, "Wakewatch") != Result{winerr::kInvalidData})
            return 3;
        if (SetText(kHkeyCurrentUser, kRun, "Wakewatch", "/bin/ww") != winerr::kInvalidData)
            return 4;
        return diagnostics_.str() == "Wakewatch: " + paths_.userFile +
                                         ": not a regular file; the file is not used and will "
                                         "not be overwritten\n"
                                         "Wakewatch: " +
                                         paths_.userAutostart +
                                         ": not a regular file; the file is not used and will "
                                         "not be overwritten\n"
                   ? 0
                   : 5;
    });
    EXPECT_EQ(reader.JoinWithin(std::chrono::seconds(3)), 0);
    unlink(paths_.userFile.c_str());  // when the reader was stuck on it
    const std::string huge = "Windows Registry Editor Version 5.00\n" + std::string(1 << 20, ';');
    WriteText(paths_.userFile, huge);
    EXPECT_EQ(Get(kHkeyCurrentUser, kSettings, "Mine"), Result{winerr::kInvalidData});
    EXPECT_NE(diagnostics_.str().find(paths_.userFile + ": larger than 1 MiB;"), std::string::npos);
    EXPECT_EQ(ReadText(paths_.userFile), huge);

    // A user.reg kept elsewhere and linked here is written where it lies,
    // with its comments and blank lines, and a killed write's leftovers go.
    const std::string kept =
        "Windows Registry Editor Version 5.00\n"
        "; my settings, kept in git\n"
        "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\n"
        "  ; 1 = on\n"
        "\n"
        "\"Mine\"=dword:00000001\n"
        "; end of the section\n"
        "\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Old]\n"
        "; about Gone\n"
        "\"Gone\"=dword:00000001\n"
        "\"Stay\"=\"x\"\n"
        "; the end\n";
    const std::string dotfiles = sandbox_.root() + "/dotfiles";
    WriteText(dotfiles + "/user.reg", kept);
    WriteText(dotfiles + "/.user.reg.Ab12Cd", "half a write");
    WriteText(dotfiles + "/.user.reg.keep", "someone else's");
    unlink(paths_.userFile.c_str());
    ASSERT_EQ(symlink("../../../dotfiles/user.reg", paths_.userFile.c_str()), 0);
    ASSERT_EQ(SetNumber(kHkeyCurrentUser, kSettings, "New", 2), 0);
    HKey old = 0;
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, "Software\\Old", old), 0);
    EXPECT_EQ(registry_.RegDeleteValueA(old, "Gone"), 0);
    registry_.RegCloseKey(old);

    struct stat link {};
    ASSERT_EQ(lstat(paths_.userFile.c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(ReadText(dotfiles + "/user.reg"),
              "Windows Registry Editor Version 5.00\n"
              "; my settings, kept in git\n"
              "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\n"
              "  ; 1 = on\n"
              "\n"
              "\"Mine\"=dword:00000001\n"
              "\"New\"=dword:00000002\n"
              "; end of the section\n"
              "\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Old]\n"
              "; about Gone\n"
              "\"Stay\"=\"x\"\n"
              "; the end\n");
    EXPECT_EQ(test::ListFolder(dotfiles), (std::vector<std::string>{".user.reg.keep", "user.reg"}));
    EXPECT_EQ(test::ListFolder(userFolder), std::vector<std::string>{"user.reg"});
}

TEST_F(LinuxRegistryTest, AFileThatCannotBeParsedIsLeftAloneAndReportedOnce) {
    const std::string broken = "Windows Registry Editor Version 5.00\n\ngarbage\n";
    WriteText(paths_.userFile, broken);
    HKey key = 0;
    const std::uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kSettings, key), winerr::kInvalidData);
    EXPECT_EQ(registry_.RegCreateKeyA(kHkeyCurrentUser, kSettings, key), winerr::kInvalidData);
    EXPECT_EQ(registry_.RegSetValueExA(kHkeyCurrentUser, "X", regtype::kDword, one, 4),
              winerr::kInvalidData);
    EXPECT_EQ(registry_.RegDeleteValueA(kHkeyCurrentUser, "X"), winerr::kInvalidData);
    EXPECT_EQ(registry_.RegDeleteKeyA(kHkeyCurrentUser, "Software"), winerr::kInvalidData);
    EXPECT_EQ(ReadText(paths_.userFile), broken);
    EXPECT_EQ(diagnostics_.str(), "Wakewatch: " + paths_.userFile +
                                      ":3: neither a [key] nor a \"name\"=value line; the file is "
                                      "not used and will not be overwritten\n");
    // The other root is not affected.
    EXPECT_EQ(SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 1), 0);

    // Edited into another problem, it is said again, once.
    diagnostics_.str("");
    WriteText(paths_.userFile, "Windows Registry Editor Version 5.00\n\"X\"=dword:1\n");
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kSettings, key), winerr::kInvalidData);
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kSettings, key), winerr::kInvalidData);
    WriteText(paths_.userFile, broken);
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kSettings, key), winerr::kInvalidData);
    const std::string again = diagnostics_.str();
    EXPECT_EQ(again.find("Wakewatch: " + paths_.userFile + ":2: "), 0u) << again;
    EXPECT_EQ(std::count(again.begin(), again.end(), '\n'), 1) << again;

    diagnostics_.str("");
    const std::string entry = "Exec=ww\n";
    WriteText(paths_.machineAutostart, entry);
    EXPECT_EQ(Get(kHkeyLocalMachine, kRun, "Wakewatch"), Result{winerr::kInvalidData});
    EXPECT_EQ(SetText(kHkeyLocalMachine, kRun, "Wakewatch", "/bin/ww"), winerr::kInvalidData);
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyLocalMachine, kRun, key), 0);
    EXPECT_EQ(registry_.RegDeleteValueA(key, "Wakewatch"), winerr::kInvalidData);
    registry_.RegCloseKey(key);
    EXPECT_EQ(ReadText(paths_.machineAutostart), entry);
    const std::string said = diagnostics_.str();
    EXPECT_EQ(said.find(paths_.machineAutostart + ":1: "), 11u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST_F(LinuxRegistryTest, ABrokenOverlayStopsMachineReadsAndWrites) {
    const std::string system = "Windows Registry Editor Version 5.00\n";
    WriteText(paths_.machineFile, system);
    WriteText(paths_.machineOverlay, "[HKEY_LOCAL_MACHINE\\Software]\n");
    EXPECT_EQ(Get(kHkeyLocalMachine, kSettings, "HotCorners"), Result{winerr::kInvalidData});
    EXPECT_EQ(SetNumber(kHkeyLocalMachine, kSettings, "HotCorners", 1), winerr::kInvalidData);
    EXPECT_EQ(ReadText(paths_.machineFile), system);
    EXPECT_NE(diagnostics_.str().find(paths_.machineOverlay + ":1: the first line"),
              std::string::npos);
}

}  // namespace
}  // namespace ww::platform
