#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/GnomeSession.h"

namespace ww::e2e {
namespace {

// The shell draws tray icons a little dimmed (silver 0xC0 comes out 0xB7).
bool Near(std::uint32_t pixel, std::uint32_t colour) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((colour >> shift) & 0xFF);
        if (std::abs(a - b) > 16) {
            return false;
        }
    }
    return true;
}

// The program on a real GNOME Shell, its saver driven through its own menu
// over dbusmenu and observed through GNOME's own services only. One shell
// serves the whole suite (it takes seconds to come up); each test starts
// the program afresh and leaves the shield down and the idle delay long.
class GnomeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { StartSession(true); }

    static void StartSession(bool screenSaverService, bool x11 = false) {
        if (!std::filesystem::exists("/usr/bin/gnome-shell") ||
            !std::filesystem::exists("/usr/bin/gjs")) {
            return;
        }
        failure_.clear();
        session_ = new GnomeSession(screenSaverService, x11);
        try {
            session_->Start();
            std::cerr << "GNOME Shell answered org.gnome.ScreenSaver after "
                      << session_->StartTime().count() << " ms\n";
        } catch (const std::exception& e) {
            failure_ = e.what();
        }
    }

    static void TearDownTestSuite() {
        if (session_ != nullptr && kept_) {
            kept_ = false;
            session_->KeepDir();
            std::cerr << "Logs of GNOME: " << session_->Dir() << "\n";
        }
        delete session_;
        session_ = nullptr;
    }

    void SetUp() override {
        if (session_ == nullptr) {
            GTEST_SKIP() << "GNOME Shell or gjs is not installed";
        }
        ASSERT_TRUE(failure_.empty()) << failure_;
        session_->SetIdleDelay(600);
        session_->UserActivity();
        ASSERT_TRUE(WaitFor([] { return !session_->SaverActive(); }, 10s, 100ms));
        tray_ = std::make_unique<SniBus>(session_->Dir(), WW_SNI_HOST_PATH, session_->SessionBus());
    }

    void TearDown() override {
        kept_ = kept_ || HasFailure();
        if (HasFailure() && program_) {
            std::cerr << "--- wakewatch.stderr\n" << ReadFile(program_->StderrPath()) << "\n";
        }
        program_.reset();
        if (session_ != nullptr && failure_.empty()) {
            // A test that failed with the tray switched off leaves it on.
            SwitchTray("EnableExtension");
            session_->SetIdleDelay(600);
            session_->UserActivity();
        }
    }

    void Launch() {
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.env = session_->ProgramEnv("wakewatch").Entries();
        program.stdoutPath = session_->Dir() + "/wakewatch.stdout";
        program.stderrPath = session_->Dir() + "/wakewatch.stderr";
        program_.emplace(program);
    }

    std::string Stderr() const { return ReadFile(program_->StderrPath()); }

    // The item's menu, asked of the item itself: whether the shell's tray
    // kept it is another test's business.
    std::vector<TraceLine> Menu() { return tray_->Call({"menu", "--service", Service()}).lines; }
    std::string Service() const {
        return "org.kde.StatusNotifierItem-" + std::to_string(program_->Pid()) + "-1";
    }
    // The id of the entry whose label, without its mnemonic marks, is `label`.
    int EntryId(const std::string& label) {
        for (const TraceLine& line : Menu()) {
            std::string text = line.Field("label");
            std::erase(text, '_');
            if (line.StartsWith("entry ") && text == label) {
                return std::stoi(line.Field("id"));
            }
        }
        return -1;
    }
    bool Click(const std::string& label) {
        const int id = EntryId(label);
        return id >= 0 &&
               tray_->Call({"click", std::to_string(id), "--service", Service()}).code == 0;
    }
    // Up with its saver chosen and its menu served.
    bool Started() {
        return WaitFor(
            [&] {
                return Stderr().find("screen saver through") != std::string::npos &&
                       EntryId("Start Screen Saver...") >= 0;
            },
            20s, 200ms);
    }
    // Whether the extension's watcher lists our item, by the name it was
    // registered with (well-known, or the connection's own: "<name>@<path>").
    bool InTheShellsTray() {
        const Output owner = session_->Call({"--dest", "org.freedesktop.DBus", "--object-path",
                                             "/org/freedesktop/DBus", "--method",
                                             "org.freedesktop.DBus.GetNameOwner", Service()});
        const size_t open = owner.out.find('\'');
        if (owner.code != 0 || open == std::string::npos) {
            return false;
        }
        const std::string unique =
            owner.out.substr(open + 1, owner.out.find('\'', open + 1) - open - 1);
        const std::string items =
            session_
                ->Call({"--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                        "/StatusNotifierWatcher", "--method", "org.freedesktop.DBus.Properties.Get",
                        "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"})
                .out;
        return items.find("'" + Service() + "'") != std::string::npos ||
               items.find("'" + unique + "@") != std::string::npos ||
               items.find("'" + unique + "'") != std::string::npos;
    }
    // The shell's top bar (the first rows of the screen) from a screenshot the
    // shell takes itself, as 0xRRGGBB pixels; empty when that failed.
    std::vector<std::uint32_t> TopBar(const std::string& name) {
        const std::string shots = session_->Dir() + "/shots";
        std::filesystem::create_directories(shots);
        HandToUnprivileged(shots);  // the shell writes the file
        const std::string png = shots + "/" + name + ".png";
        SpawnOptions shot;
        shot.argv = {WW_SHELL_SCREENSHOT_PATH, png};
        shot.env = session_->ProgramEnv("screenshot").Entries();
        shot.stderrPath = shots + "/screenshot.log";
        if (RunToEnd(shot, 15s) != 0) {
            return {};
        }
        SpawnOptions convert;
        convert.argv = {"convert", png,
                        "-crop",   "1024x" + std::to_string(kTopBarRows) + "+0+0",
                        "+repage", "ppm:" + png + ".ppm"};
        convert.env = Environment::Clean().Entries();
        if (RunToEnd(convert, 15s) != 0) {
            return {};
        }
        std::ifstream in(png + ".ppm", std::ios::binary);
        std::string magic;
        int width = 0, height = 0, maximum = 0;
        in >> magic >> width >> height >> maximum;
        in.get();
        std::vector<std::uint32_t> pixels;
        for (int i = 0; in && magic == "P6" && i < width * height; ++i) {
            unsigned char rgb[3];
            if (in.read(reinterpret_cast<char*>(rgb), 3)) {
                pixels.push_back(std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2]);
            }
        }
        return pixels;
    }
    static constexpr int kTopBarRows = 32;

    // Pixels of `colour` new in the bar's right half (the clock in the middle
    // may have moved on).
    static std::size_t Drawn(const std::vector<std::uint32_t>& before,
                             const std::vector<std::uint32_t>& after, std::uint32_t colour) {
        std::size_t n = 0;
        for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
            if (i % 1024 >= 600 && after[i] != before[i] && Near(after[i], colour)) {
                ++n;
            }
        }
        return n;
    }
    static std::size_t Silver(const std::vector<std::uint32_t>& before,
                              const std::vector<std::uint32_t>& after) {
        return Drawn(before, after, 0xC0C0C0);
    }
    static std::size_t Grey(const std::vector<std::uint32_t>& before,
                            const std::vector<std::uint32_t>& after) {
        return Drawn(before, after, 0x808080);
    }
    // The picture's silver and grey in a new screenshot of the bar.
    bool IconDrawn(const std::vector<std::uint32_t>& before, std::vector<std::uint32_t>& after) {
        after = TopBar("after");
        return Silver(before, after) >= 16 && Grey(before, after) >= 8;
    }
    // The shell switching the AppIndicator extension off or on, as
    // gnome-extensions asks it.
    static bool SwitchTray(const std::string& method) {
        return session_
                   ->Call({"--dest", "org.gnome.Shell", "--object-path", "/org/gnome/Shell",
                           "--method", "org.gnome.Shell.Extensions." + method,
                           "ubuntu-appindicators@ubuntu.com"})
                   .out.find("true") != std::string::npos;
    }

    // No item at all in the extension's watcher: "(<@as []>,)".
    static bool TrayEmpty() {
        return session_
                   ->Call({"--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                           "/StatusNotifierWatcher", "--method",
                           "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
                           "RegisteredStatusNotifierItems"})
                   .out.find("@as []") != std::string::npos;
    }

    bool Holding() {
        const auto apps = session_->IdleInhibitors();
        return std::find(apps.begin(), apps.end(), "wakewatch") != apps.end();
    }

    // The tests both sessions run (Wayland and X11).
    void StartScreenSaverRaisesTheShellsShield() {
        Launch();
        ASSERT_TRUE(Started()) << program_->Describe();
        EXPECT_NE(Stderr().find("screen saver through org.gnome.ScreenSaver, held off through "
                                "org.gnome.SessionManager"),
                  std::string::npos);
        ASSERT_FALSE(session_->SaverActive());
        ASSERT_TRUE(Click("Start Screen Saver..."));
        EXPECT_TRUE(WaitFor([] { return session_->SaverActive(); }, 10s, 100ms));
        EXPECT_EQ(Stderr().find("did not start"), std::string::npos) << Stderr();
    }
    // `whileHeld` runs with the hold in place.
    void DisableScreenSaverHoldsOffTheIdleShieldUntilReleased(
        const std::function<void()>& whileHeld = {}) {
        Launch();
        ASSERT_TRUE(Started()) << program_->Describe();
        ASSERT_TRUE(Click("Disable Screen Saver"));
        ASSERT_TRUE(WaitFor([&] { return Holding(); }, 5s, 100ms));
        if (whileHeld) {
            whileHeld();
        }

        // At the shortest idle delay the session stays available, well past it.
        session_->SetIdleDelay(1);
        session_->UserActivity();
        EXPECT_FALSE(WaitFor([] { return session_->SaverActive(); }, 4s, 200ms));
        EXPECT_EQ(session_->PresenceStatus(), 0);

        // Released, the session goes idle and the shield comes up by itself.
        ASSERT_TRUE(Click("Disable Screen Saver"));
        EXPECT_TRUE(WaitFor([&] { return !Holding(); }, 5s, 100ms));
        EXPECT_TRUE(WaitFor([] { return session_->SaverActive(); }, 5s, 100ms));
        EXPECT_EQ(session_->PresenceStatus(), 3);
    }
    void ExitReleasesTheHold() {
        Launch();
        ASSERT_TRUE(Started()) << program_->Describe();
        ASSERT_TRUE(Click("Disable Screen Saver"));
        ASSERT_TRUE(WaitFor([&] { return Holding(); }, 5s, 100ms));
        ASSERT_TRUE(Click("Exit Wakewatch"));
        ASSERT_TRUE(program_->WaitExit(10s)) << "still running after Exit";
        EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
        EXPECT_FALSE(Holding());
        session_->SetIdleDelay(1);
        EXPECT_TRUE(WaitFor([] { return session_->SaverActive(); }, 5s, 100ms));
    }
    void TheTopBarShowsTheIconsPicture() {
        ASSERT_TRUE(WaitFor([] { return session_->TrayWatcherUp(); }, 10s, 100ms));
        // The last test's item gone from the bar too.
        ASSERT_TRUE(WaitFor([] { return TrayEmpty(); }, 5s, 100ms));
        const auto before = TopBar("before");
        ASSERT_EQ(before.size(), 1024U * kTopBarRows) << "no screenshot, see " << session_->Dir();
        Launch();
        ASSERT_TRUE(Started()) << program_->Describe();
        ASSERT_TRUE(WaitFor([&] { return InTheShellsTray(); }, 5s, 50ms));
        std::vector<std::uint32_t> after;
        EXPECT_TRUE(WaitFor([&] { return IconDrawn(before, after); }, 10s, 500ms))
            << Silver(before, after) << " silver and " << Grey(before, after)
            << " grey pixels drawn";
    }

    static GnomeSession* session_;
    static std::string failure_;
    static bool kept_;
    std::unique_ptr<SniBus> tray_;
    std::optional<Process> program_;
};

GnomeSession* GnomeTest::session_ = nullptr;
std::string GnomeTest::failure_;
bool GnomeTest::kept_ = false;

TEST_F(GnomeTest, StartScreenSaverRaisesTheShellsShield) {
    StartScreenSaverRaisesTheShellsShield();
}

TEST_F(GnomeTest, DisableScreenSaverHoldsOffTheIdleShieldUntilReleased) {
    DisableScreenSaverHoldsOffTheIdleShieldUntilReleased();
}

TEST_F(GnomeTest, ExitReleasesTheHold) {
    ExitReleasesTheHold();
}

TEST_F(GnomeTest, TheShellsTrayKeepsTheItemStartAfterStart) {
    // The extension dropped a share of fresh items a second after they
    // registered; each start here gets the time that takes, and more.
    ASSERT_TRUE(WaitFor([] { return session_->TrayWatcherUp(); }, 10s, 100ms));
    for (int start = 0; start < 8; ++start) {
        Launch();
        ASSERT_TRUE(Started()) << program_->Describe();
        ASSERT_TRUE(WaitFor([&] { return InTheShellsTray(); }, 5s, 50ms)) << "start " << start;
        EXPECT_FALSE(WaitFor([&] { return !InTheShellsTray(); }, 2500ms, 100ms))
            << "dropped after start " << start;
        program_->Stop();
        program_.reset();
        EXPECT_TRUE(WaitFor([] { return TrayEmpty(); }, 5s, 100ms)) << "kept after start " << start;
    }
}

TEST_F(GnomeTest, TheTopBarShowsTheIconsPicture) {
    TheTopBarShowsTheIconsPicture();
}

// The tray host restarting, as the AppIndicator extension does when it is
// switched off and on again; and its coming only after the program.
TEST_F(GnomeTest, TheTopBarShowsTheIconWhenTheTrayExtensionComesLateOrComesAgain) {
    ASSERT_TRUE(WaitFor([] { return session_->TrayWatcherUp(); }, 10s, 100ms));
    ASSERT_TRUE(WaitFor([] { return TrayEmpty(); }, 5s, 100ms));
    const auto before = TopBar("before");
    ASSERT_EQ(before.size(), 1024U * kTopBarRows) << "no screenshot, see " << session_->Dir();
    std::vector<std::uint32_t> after;

    ASSERT_TRUE(SwitchTray("DisableExtension"));
    ASSERT_TRUE(WaitFor([] { return !session_->TrayWatcherUp(); }, 10s, 100ms));
    Launch();
    // No tray: no item on the bus yet, only the program up.
    ASSERT_TRUE(WaitFor([&] { return Stderr().find("screen saver through") != std::string::npos; },
                        20s, 100ms))
        << program_->Describe();
    auto from = std::chrono::steady_clock::now();
    ASSERT_TRUE(SwitchTray("EnableExtension"));
    EXPECT_TRUE(WaitFor([&] { return IconDrawn(before, after); }, 15s, 250ms))
        << "not drawn by the late extension";
    const auto late = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - from);
    std::cerr << "AppIndicator extension enabled late: icon drawn after " << late.count()
              << " ms\n";
    RecordProperty("icon_late_ms", static_cast<int>(late.count()));

    ASSERT_TRUE(SwitchTray("DisableExtension"));
    ASSERT_TRUE(WaitFor([] { return !session_->TrayWatcherUp(); }, 10s, 100ms));
    EXPECT_TRUE(WaitFor([&] { return !IconDrawn(before, after); }, 10s, 250ms))
        << "the icon outlived the extension";
    from = std::chrono::steady_clock::now();
    ASSERT_TRUE(SwitchTray("EnableExtension"));
    EXPECT_TRUE(WaitFor([&] { return IconDrawn(before, after); }, 15s, 250ms))
        << "not drawn after the extension came again";
    const auto back = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - from);
    std::cerr << "AppIndicator extension restarted: icon drawn after " << back.count() << " ms\n";
    RecordProperty("icon_back_ms", static_cast<int>(back.count()));
    EXPECT_TRUE(program_->Running()) << program_->Describe();
}

// Where nothing can start org.gnome.ScreenSaver (a gjs script, and gjs is no
// dependency of the shell), the shell's own shield still serves the saver.
class GnomeWithoutScreenSaverServiceTest : public GnomeTest {
  protected:
    static void SetUpTestSuite() { StartSession(false); }
};

TEST_F(GnomeWithoutScreenSaverServiceTest, StartScreenSaverAsksTheShieldItself) {
    Launch();
    ASSERT_TRUE(Started()) << program_->Describe();
    EXPECT_NE(Stderr().find("screen saver through org.gnome.ScreenSaver"), std::string::npos)
        << Stderr();
    ASSERT_FALSE(session_->SaverActive());
    ASSERT_TRUE(Click("Start Screen Saver..."));
    EXPECT_TRUE(WaitFor([] { return session_->SaverActive(); }, 10s, 100ms));
    EXPECT_EQ(Stderr().find("did not start"), std::string::npos) << Stderr();
}

// GNOME on Xorg: the same shell as the X server's window manager. Its
// shield is still the saver; the X server's own saver, whose timeout GNOME
// leaves as it is, is neither started nor switched by the program.
class GnomeOnX11Test : public GnomeTest {
  protected:
    static void SetUpTestSuite() { StartSession(true, true); }
    static int XTimeout() { return session_->X()->Probe().SaverTimeout(); }
};

TEST_F(GnomeOnX11Test, StartScreenSaverRaisesTheShellsShieldNotTheXServersSaver) {
    const int timeout = XTimeout();
    StartScreenSaverRaisesTheShellsShield();
    EXPECT_EQ(XTimeout(), timeout);
}

TEST_F(GnomeOnX11Test, DisableScreenSaverHoldsOffTheShieldAndLeavesTheXTimeoutAsFound) {
    const int timeout = XTimeout();
    DisableScreenSaverHoldsOffTheIdleShieldUntilReleased(
        [&] { EXPECT_EQ(XTimeout(), timeout) << "the hold changed the X timeout"; });
    EXPECT_EQ(XTimeout(), timeout);
}

TEST_F(GnomeOnX11Test, ExitReleasesTheHold) {
    const int timeout = XTimeout();
    ExitReleasesTheHold();
    EXPECT_EQ(XTimeout(), timeout);
}

TEST_F(GnomeOnX11Test, TheTopBarShowsTheIconsPicture) {
    TheTopBarShowsTheIconsPicture();
}

}  // namespace
}  // namespace ww::e2e
