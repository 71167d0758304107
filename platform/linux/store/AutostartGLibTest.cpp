// Autostart entries as the desktops themselves read them: through GLib, the
// library GNOME, MATE and Cinnamon start their sessions' programs with.
#include <gio/gdesktopappinfo.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/store/StoreFiles.h"
#include "platform/linux/store/StoreTestSupport.h"
#include "platform/ports/Registry.h"
#include "tests/support/CaseNames.h"

namespace ww::platform {
namespace {

using test::ReadText;
using test::WriteText;

struct KeyFile {
    KeyFile(const std::string& path) {
        loaded = g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, nullptr);
    }
    ~KeyFile() { g_key_file_free(file); }
    GKeyFile* file = g_key_file_new();
    bool loaded = false;
};

struct PathCase {
    const char* name;
    std::string folder;  // under the sandbox, holding the program "ww"
    // GLib looks the program up before it expands %%, so it refuses to
    // start any program whose path holds a "%", however it is written.
    bool glibStartsIt = true;
};
using ww::cases::PrintTo;

class AutostartPaths : public ::testing::TestWithParam<PathCase> {};

// The path the box writes goes through GLib's own reading of the entry and
// starts that very program.
TEST_P(AutostartPaths, TheLauncherRunsTheProgramTheEntryWasWrittenFor) {
    test::StoreSandbox sandbox;
    const std::string program = sandbox.root() + "/bin/" + GetParam().folder + "/ww";
    WriteText(program, "#!/bin/sh\nprintf '%s' \"$0\" > \"$0.ran\"\n");
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);

    std::ostringstream said;
    ParseReporter reporter(said);
    const std::string entryPath = sandbox.configHome() + "/autostart/Wakewatch.desktop";
    AutostartFile entry(entryPath, "Wakewatch", false, reporter);
    ASSERT_EQ(entry.Write("\"" + program + "\""), winerr::kSuccess);
    std::string read;
    ASSERT_EQ(entry.Read(read), winerr::kSuccess);
    EXPECT_EQ(read, program);
    EXPECT_EQ(said.str(), "");

    const KeyFile keyFile(entryPath);
    ASSERT_TRUE(keyFile.loaded) << ReadText(entryPath);
    gchar* exec = g_key_file_get_string(keyFile.file, "Desktop Entry", "Exec", nullptr);
    ASSERT_NE(exec, nullptr);
    // The shell quoting without the launcher's %% step, which the program
    // path passes through only when it holds no "%".
    gint argc = 0;
    gchar** argv = nullptr;
    ASSERT_TRUE(g_shell_parse_argv(exec, &argc, &argv, nullptr)) << exec;
    ASSERT_EQ(argc, 1) << exec;
    if (GetParam().glibStartsIt) {
        EXPECT_EQ(std::string(argv[0]), program) << exec;
    }
    g_strfreev(argv);
    g_free(exec);
    if (!GetParam().glibStartsIt) {
        return;
    }

    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entryPath.c_str());
    ASSERT_NE(info, nullptr) << ReadText(entryPath);
    GPid pid = 0;
    const auto spawned = [](GDesktopAppInfo*, GPid child, gpointer out) {
        *static_cast<GPid*>(out) = child;
    };
    ASSERT_TRUE(g_desktop_app_info_launch_uris_as_manager(info, nullptr, nullptr,
                                                          G_SPAWN_DO_NOT_REAP_CHILD, nullptr,
                                                          nullptr, +spawned, &pid, nullptr))
        << ReadText(entryPath);
    g_object_unref(info);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadText(program + ".ran"), program);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramPaths, AutostartPaths,
    ::testing::Values(PathCase{"Plain", "plain"}, PathCase{"Blank", "my apps"},
                      PathCase{"DoubleQuote", "say \"hi\""}, PathCase{"Backtick", "back`tick"},
                      PathCase{"Dollar", "$HOME"}, PathCase{"Backslash", "back\\slash"},
                      PathCase{"SingleQuote", "it's"}, PathCase{"ShellSigns", "a;b&c|d<e>(f)*?#~"},
                      PathCase{"Tab", "tab\there"}, PathCase{"AllEscapedInQuotes", "\"`$\\\"\\"},
                      PathCase{"Percent", "100%", false}, PathCase{"FieldCode", "%f", false}),
    ww::cases::CaseName{});

// Whether GLib counts the user's entry as switched off, and whether we do:
// Hidden as GLib reads it, and the sessions' own keys, which they count as off
// unless they read as true.
TEST(AutostartSwitches, ReadAsGLibReadsThem) {
    const std::vector<std::string> lines = {
        "Hidden=true\n",
        "Hidden=false\nHidden=true\n",
        "Hidden=true\nHidden=false\n",
        "Hidden=1\n",
        "Hidden=True\n",
        "Hidden=yes\n",
        "Hidden = true \n",
        "X-GNOME-Autostart-enabled=false\n",
        "X-GNOME-Autostart-enabled=true\nX-GNOME-Autostart-enabled=false\n",
        "X-GNOME-Autostart-enabled=false\nX-GNOME-Autostart-enabled=true\n",
        "X-GNOME-Autostart-enabled=0\n",
        "X-GNOME-Autostart-enabled=False\n",
        "X-GNOME-Autostart-enabled=true\n",
        "X-MATE-Autostart-enabled=no\n",
    };
    test::StoreSandbox sandbox;
    const std::string entryPath = sandbox.configHome() + "/autostart/Wakewatch.desktop";
    for (const auto& line : lines) {
        SCOPED_TRACE(line);
        WriteText(entryPath, "[Desktop Entry]\nType=Application\nName=W\nExec=/bin/true\n" + line);
        const KeyFile keyFile(entryPath);
        ASSERT_TRUE(keyFile.loaded);
        GDesktopAppInfo* info = g_desktop_app_info_new_from_keyfile(keyFile.file);
        ASSERT_NE(info, nullptr);
        bool off = g_desktop_app_info_get_is_hidden(info);
        for (const char* key : {"X-GNOME-Autostart-enabled", "X-MATE-Autostart-enabled"}) {
            off = off || (g_desktop_app_info_has_key(info, key) &&
                          !g_desktop_app_info_get_boolean(info, key));
        }
        g_object_unref(info);

        std::ostringstream said;
        ParseReporter reporter(said);
        AutostartFile entry(entryPath, "Wakewatch", false, reporter);
        std::string read;
        EXPECT_EQ(entry.Read(read), off ? winerr::kFileNotFound : winerr::kSuccess);
    }
}

}  // namespace
}  // namespace ww::platform
