#include "platform/linux/shell/LinuxShell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/qt/WidgetTestApplication.h"
#include "platform/linux/saver/SaverSettingsTool.h"
#include "platform/linux/shell/ProgramRun.h"
#include "tests/e2e/WaitFor.h"

namespace ww::platform {
namespace {

namespace fs = std::filesystem;

class LinuxShellTest : public ::testing::Test {
  protected:
    LinuxShellTest() {
        test::EnsureWidgetApplication();
        std::string pattern = (fs::temp_directory_path() / "ww-shell-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    ~LinuxShellTest() override { fs::remove_all(dir_); }

    // An executable shell script `name` in the fake PATH directory.
    void Script(const std::string& name, const std::string& body, bool executable = true) {
        const fs::path path = dir_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        ::chmod(path.c_str(), executable ? 0755 : 0644);
    }
    LinuxShell Shell(std::chrono::milliseconds wait = std::chrono::milliseconds(5000)) {
        LinuxShell::Options options;
        options.searchPath = dir_.string();
        options.desktops = "";
        options.openWait = wait;
        options.desktopServicesFallback = false;
        return LinuxShell(trace_, options);
    }
    std::string TraceText() const {
        std::stringstream text;
        text << std::ifstream(tracePath()).rdbuf();
        return text.str();
    }
    fs::path tracePath() const { return dir_ / "trace.log"; }

    fs::path dir_;
    Trace trace_{std::string()};
};

// The settings of the saver in use, the desktop's own first; xscreensaver's
// only where it (or the bare X server) is the saver.
TEST_F(LinuxShellTest, FindsTheSettingsOfTheSaverInUse) {
    struct Case {
        const char* name;
        std::vector<std::string> installed;
        std::string desktops;
        StartWay saver;
        std::string program;  // "" for none
        std::vector<std::string> arguments;
    };
    const std::vector<std::string> everything = {"xscreensaver-settings",
                                                 "mate-screensaver-preferences",
                                                 "cinnamon-settings",
                                                 "gnome-control-center",
                                                 "kcmshell5",
                                                 "xfce4-screensaver-preferences"};
    const Case cases[] = {
        {"BareXAnyToolInOrder",
         {"mate-screensaver-preferences", "xscreensaver-demo"},
         "",
         StartWay::XServer,
         "xscreensaver-demo",
         {}},
        {"BareXTheDesktopsFirst",
         {"mate-screensaver-preferences", "xscreensaver-demo"},
         "MATE",
         StartWay::XServer,
         "mate-screensaver-preferences",
         {}},
        {"GnomeShellScreenPanel",
         everything,
         "ubuntu:GNOME",
         StartWay::GnomeSetActive,
         "gnome-control-center",
         {"screen"}},
        {"KdeLockerModule",
         everything,
         "KDE",
         StartWay::FreedesktopSetActive,
         "kcmshell5",
         {"kcm_screenlocker"}},
        {"KdeSixFirst",
         {"kcmshell5", "kcmshell6", "xscreensaver-demo"},
         "KDE",
         StartWay::FreedesktopSetActive,
         "kcmshell6",
         {"kcm_screenlocker"}},
        {"XfceSaver",
         everything,
         "XFCE",
         StartWay::FreedesktopSetActive,
         "xfce4-screensaver-preferences",
         {}},
        {"MateSaver",
         everything,
         "GNOME",
         StartWay::MateSetActive,
         "mate-screensaver-preferences",
         {}},
        {"CinnamonSaver",
         everything,
         "X-Cinnamon",
         StartWay::CinnamonSetActive,
         "cinnamon-settings",
         {"screensaver"}},
        // xscreensaver under GNOME or KDE is what the user set up.
        {"XscreensaverUnderKde",
         everything,
         "KDE",
         StartWay::XScreenSaverActivate,
         "xscreensaver-settings",
         {}},
        {"XscreensaverWithoutItsTools",
         {"gnome-control-center"},
         "GNOME",
         StartWay::XScreenSaverActivate,
         "",
         {}},
        // A compositor's idle daemon has no settings tool: nothing, not
        // xscreensaver's X11 one, which cannot run there.
        {"SwayIdleDaemon", everything, "sway", StartWay::LogindLock, "", {}},
        {"NoSaver", everything, "GNOME", StartWay::None, "", {}},
        {"GnomeNotInstalled", {"xscreensaver-settings"}, "GNOME", StartWay::GnomeSetActive, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        for (const std::string& name : c.installed) {
            Script(name, "exit 0");
        }
        const auto found = FindSaverSettingsTool(dir_.string(), c.desktops, c.saver);
        if (c.program.empty()) {
            EXPECT_FALSE(found.has_value()) << found->program;
            continue;
        }
        ASSERT_TRUE(found.has_value()) << c.program;
        EXPECT_EQ(found->program, (dir_ / c.program).string());
        EXPECT_EQ(found->arguments, c.arguments);
    }
}

TEST_F(LinuxShellTest, OnlyExecutableFilesCount) {
    Script("xscreensaver-settings", "exit 0", false);
    Script("xfce4-screensaver-preferences", "exit 0");
    fs::create_directory(dir_ / "xscreensaver-demo");
    const auto found =
        FindSaverSettingsTool("/nonexistent:" + dir_.string(), "", StartWay::XServer);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->program, (dir_ / "xfce4-screensaver-preferences").string());
    EXPECT_EQ(FindExecutable("", "sh"), "");
}

TEST_F(LinuxShellTest, OpeningTheSaverSettingsStartsTheDesktopsTool) {
    Trace trace(tracePath().string());
    LinuxShell::Options options;
    options.searchPath = dir_.string();
    options.desktops = "";
    StartWay saver = StartWay::XServer;
    options.saver = [&saver] { return saver; };
    LinuxShell shell(trace, options);
    EXPECT_FALSE(shell.CanOpenScreenSaverSettings());
    EXPECT_FALSE(shell.OpenScreenSaverSettings());
    Script("xscreensaver-demo", "exit 0");
    EXPECT_TRUE(shell.CanOpenScreenSaverSettings());
    EXPECT_TRUE(shell.OpenScreenSaverSettings());
    // The saver changed under the running program.
    saver = StartWay::LogindLock;
    EXPECT_FALSE(shell.CanOpenScreenSaverSettings());
    const std::string text = TraceText();
    EXPECT_NE(text.find("shell start fail \"screen-saver settings\" \"\""), std::string::npos)
        << text;
    EXPECT_NE(text.find("shell start ok \"screen-saver settings\" \"" +
                        (dir_ / "xscreensaver-demo").string() + "\""),
              std::string::npos)
        << text;
}

// Configure again while the tool started before still runs starts no second
// one; once it has ended, the next Configure starts it anew.
TEST_F(LinuxShellTest, OneSaverSettingsToolAtATime) {
    const std::string starts = (dir_ / "starts").string();
    const std::string stop = (dir_ / "stop").string();
    Script("xscreensaver-demo",
           "echo started >> '" + starts + "'\nwhile [ ! -e '" + stop + "' ]; do sleep 0.05; done");
    Trace trace(tracePath().string());
    LinuxShell::Options options;
    options.searchPath = dir_.string();
    options.desktops = "";
    LinuxShell shell(trace, options);
    const auto startCount = [&] {
        std::ifstream in(starts);
        int lines = 0;
        for (std::string line; std::getline(in, line);) {
            ++lines;
        }
        return lines;
    };
    ASSERT_TRUE(shell.OpenScreenSaverSettings());
    ASSERT_TRUE(e2e::WaitFor([&] { return startCount() == 1; }, std::chrono::seconds(20)));
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(shell.OpenScreenSaverSettings());
    }
    const std::string text = TraceText();
    std::size_t running = 0;
    for (std::size_t at = 0; (at = text.find("shell start running", at)) != std::string::npos;
         ++at) {
        ++running;
    }
    EXPECT_EQ(running, 5U) << text;
    EXPECT_EQ(startCount(), 1);

    std::ofstream(stop).put('\n');
    // The tool sees the file within 50 ms and ends; then a new one starts
    // (and, as each new one ends at once, more may follow before a look).
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            shell.OpenScreenSaverSettings();
            return startCount() >= 2;
        },
        std::chrono::seconds(20)));
}

// What xdg-open answers becomes the shell's number; the link reaches it as
// one argument, blanks and all.
TEST_F(LinuxShellTest, OpeningLinksAnswersAsTheShellDoes) {
    const std::string mail = "mailto:someone@example.org?subject=Wakewatch 1.5.1";
    struct Case {
        int status;
        std::intptr_t result;
    };
    for (const Case& c : {Case{0, 33}, Case{2, 2}, Case{3, 31}, Case{4, 31}, Case{1, 31}}) {
        Script("xdg-open", "printf '%s' \"$1\" > '" + (dir_ / "opened").string() + "'\nexit " +
                               std::to_string(c.status));
        EXPECT_EQ(Shell().ShellExecuteA(0, "open", mail, "", "1", kSwShowNormal), c.result)
            << c.status;
        std::stringstream opened;
        opened << std::ifstream(dir_ / "opened").rdbuf();
        EXPECT_EQ(opened.str(), mail);
    }
    EXPECT_EQ(Shell().ShellExecuteA(0, "print", mail, "", "", kSwShowNormal), 31);
    fs::remove(dir_ / "xdg-open");
    EXPECT_EQ(Shell().ShellExecuteA(0, "open", "http://example.org/", "", "1", kSwShowNormal), 2);
}

// A browser run in the foreground keeps xdg-open busy: once the wait is
// over the link counts as opened, and the opener is left running.
TEST_F(LinuxShellTest, AnOpenerStillBusyCountsAsOpened) {
    Script("xdg-open", "sleep 3");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Shell(std::chrono::milliseconds(50))
                  .ShellExecuteA(0, "open", "http://example.org/", "", "1", kSwShowNormal),
              33);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(ProgramRunTest, ReportsWhatBecameOfTheProgram) {
    const auto missing = RunForAnswer("/nonexistent/program", {}, std::chrono::seconds(1));
    EXPECT_EQ(missing.state, ProgramOutcome::State::NotStarted);
    EXPECT_EQ(missing.error, ENOENT);
    const auto exited = RunForAnswer("/bin/sh", {"-c", "exit 7"}, std::chrono::seconds(5));
    EXPECT_EQ(exited.state, ProgramOutcome::State::Exited);
    EXPECT_EQ(exited.exitCode, 7);
    const auto killed = RunForAnswer("/bin/sh", {"-c", "kill -9 $$"}, std::chrono::seconds(5));
    EXPECT_EQ(killed.state, ProgramOutcome::State::Killed);
}

}  // namespace
}  // namespace ww::platform
