#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/SniBus.h"
#include "tests/e2e/Trace.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/SwayIdleSession.h"

namespace ww::e2e {
namespace {

// The output is 1024 × 768.
constexpr int kBottomRightX = 1023;
constexpr int kBottomY = 767;
constexpr int kMiddleX = 512;
constexpr int kMiddleY = 384;

// Dbusmenu ids of the tray menu.
constexpr int kStartItem = 5;
constexpr int kDisableItem = 6;
constexpr int kExitItem = 9;

// swayidle's timeout is 1 s; a hold must keep it quiet this many of them.
constexpr auto kHeldFor = 5s;
// Its idle command runs this soon after a release (the timeout, and slack
// for a loaded machine).
constexpr auto kFiresWithin = 5s;

// Our program on a real headless sway whose only saver is swayidle at its
// shortest timeout. What the hold does is read from swayidle's own idle
// command, never from the program. swayidle is started only once the hold is
// in place: the compositor ignores activity while idle is inhibited, so a
// swayidle that had already gone idle would look held whatever we did; one
// that registers its timeout under the hold shows whether it is held.
class SwayHoldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SpawnOptions which;
        which.argv = {"sh", "-c", "command -v sway swayidle"};
        which.env = Environment::Clean().Entries();
        if (RunToEnd(which, 5s) != 0) {
            GTEST_SKIP() << "sway or swayidle is not installed";
        }
        session_ = std::make_unique<SwayIdleSession>();
        session_->SetIdleDelayToMinimum();
    }

    void TearDown() override {
        if (!session_) {
            return;
        }
        if (program_) {
            program_->Stop();
        }
        tray_.reset();
        session_->Stop();
        if (HasFailure()) {
            std::cerr << "Logs: " << session_->Dir() << "\n";
            for (const auto& entry : std::filesystem::directory_iterator(session_->Dir())) {
                const std::string name = entry.path().filename().string();
                if (name.starts_with("wakewatch") || name.starts_with("swayidle")) {
                    std::cerr << "--- " << name << "\n" << ReadFile(entry.path().string()) << "\n";
                }
            }
            session_->KeepDir();
        }
        session_.reset();
    }

    void Launch() {
        Environment env = session_->Wayland().ProgramEnv("wakewatch");
        // No system bus, hence no logind session to lock, wherever this runs,
        // unless the test gives it one.
        env.Set("DBUS_SYSTEM_BUS_ADDRESS", session_->SystemBus().empty()
                                               ? "unix:path=" + session_->Dir() + "/no-system-bus"
                                               : session_->SystemBus());
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.env = env.Entries();
        program.stdoutPath = session_->Dir() + "/wakewatch.stdout";
        program.stderrPath = session_->Dir() + "/wakewatch.stderr";
        program_.emplace(program);
    }

    void HotCornersOn() {
        const std::string path = session_->Dir() + "/config-dirs/wakewatch/machine.reg";
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
                               "\"HotCorners\"=dword:00000001\n";
    }

    Trace ProgramTrace() const { return Trace(session_->Wayland().TracePath("wakewatch")); }
    // How many times the program has been asked to switch the saver off; the
    // switch is sent to the compositor before the call returns.
    std::size_t Holds() const { return ProgramTrace().All("saver active 0").size(); }

    bool Click(int id) { return tray_->Call({"click", std::to_string(id)}).code == 0; }
    std::vector<TraceLine> Menu() { return tray_->Call({"menu"}).lines; }

    // swayidle, started now, stays quiet for several timeouts.
    bool StaysQuiet() {
        session_->Start();
        return !WaitFor([&] { return session_->IdleCount() > 0; }, kHeldFor, 100ms);
    }
    bool Fires() {
        return WaitFor([&] { return session_->IdleCount() > 0; }, kFiresWithin, 50ms);
    }

    std::unique_ptr<SwayIdleSession> session_;
    std::unique_ptr<SniBus> tray_;
    std::optional<Process> program_;
};

TEST_F(SwayHoldTest, DisableFromTheMenuKeepsSwayidleQuietUntilUncheckedOrExit) {
    tray_ = std::make_unique<SniBus>(session_->Dir(), WW_SNI_HOST_PATH,
                                     session_->Wayland().BusAddress());
    tray_->StartHost();
    // With hot corners on, the corner surfaces are up until the hold stops
    // the detection; they go 1.5 s later, well within the quiet wait, and the
    // hold stays.
    HotCornersOn();
    Launch();
    ASSERT_TRUE(WaitFor([&] { return tray_->HostLog().Has("item props "); }, 15s))
        << program_->Describe();

    // swayidle has no start request and there is no logind session: Start
    // is greyed, and stderr says why, once; the hold is offered.
    auto menu = Menu();
    EXPECT_EQ(MenuField(menu, kStartItem, "enabled"), "false");
    EXPECT_EQ(MenuField(menu, kDisableItem, "enabled"), "true");
    const std::string err = ReadFile(program_->StderrPath());
    const std::string why =
        "wakewatch: Start Screen Saver is greyed: the compositor has no "
        "request to start its idle action and there is no logind session to "
        "lock\n";
    EXPECT_NE(err.find(why), std::string::npos) << err;
    EXPECT_EQ(err.find(why), err.rfind(why)) << err;
    EXPECT_NE(err.find("held off through zwp_idle_inhibit_manager_v1"), std::string::npos) << err;

    ASSERT_TRUE(Click(kDisableItem));
    ASSERT_EQ(MenuField(Menu(), kDisableItem, "toggle-state"), "1");
    EXPECT_TRUE(StaysQuiet());

    // Unchecked: swayidle's timeout runs again, and fires.
    const auto released = std::chrono::steady_clock::now();
    ASSERT_TRUE(Click(kDisableItem));
    EXPECT_TRUE(Fires());
    std::cerr << "swayidle fired "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - released)
                     .count()
              << " ms after the release\n";

    // Checked again, then Exit from the menu: the hold goes with the program.
    session_->Stop();
    ASSERT_TRUE(Click(kDisableItem));
    ASSERT_EQ(MenuField(Menu(), kDisableItem, "toggle-state"), "1");
    EXPECT_TRUE(StaysQuiet());
    ASSERT_TRUE(Click(kExitItem));
    ASSERT_TRUE(program_->WaitExit(10s));
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
    EXPECT_TRUE(Fires());
}

TEST_F(SwayHoldTest, ThePointerBottomRightKeepsSwayidleQuietUntilItLeavesOrSigterm) {
    HotCornersOn();
    Launch();
    ASSERT_TRUE(WaitFor([&] { return ProgramTrace().Has("notify"); }, 15s)) << program_->Describe();

    ASSERT_TRUE(session_->Wayland().MovePointer(kBottomRightX, kBottomY));
    ASSERT_TRUE(WaitFor([&] { return Holds() == 1; }, 5s));
    EXPECT_TRUE(StaysQuiet());
    ASSERT_TRUE(session_->Wayland().MovePointer(kMiddleX, kMiddleY));
    EXPECT_TRUE(Fires());

    session_->Stop();
    ASSERT_TRUE(session_->Wayland().MovePointer(kBottomRightX, kBottomY));
    ASSERT_TRUE(WaitFor([&] { return Holds() == 2; }, 5s));
    EXPECT_TRUE(StaysQuiet());
    program_->Signal(SIGTERM);
    ASSERT_TRUE(program_->WaitExit(10s));
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
    EXPECT_TRUE(Fires());
}

TEST_F(SwayHoldTest, StartLocksTheLoginSessionWhoseLockSwayidleRuns) {
    session_->WithLoginSession();
    session_->Start();
    tray_ = std::make_unique<SniBus>(session_->Dir(), WW_SNI_HOST_PATH,
                                     session_->Wayland().BusAddress());
    tray_->StartHost();
    Launch();
    ASSERT_TRUE(WaitFor([&] { return tray_->HostLog().Has("item props "); }, 15s))
        << program_->Describe();
    const std::string err = ReadFile(program_->StderrPath());
    EXPECT_NE(err.find("screen saver through the logind session's Lock"), std::string::npos) << err;
    EXPECT_EQ(err.find("greyed"), std::string::npos) << err;
    ASSERT_EQ(MenuField(Menu(), kStartItem, "enabled"), "true");

    ASSERT_EQ(session_->LockCount(), 0);
    ASSERT_TRUE(Click(kStartItem));
    EXPECT_TRUE(WaitFor([&] { return session_->LockCount() == 1; }, 5s, 50ms))
        << session_->LoginCalls();
    EXPECT_NE(session_->LoginCalls().find(
                  "org.freedesktop.login1.Session.Lock /org/freedesktop/login1/session/auto"),
              std::string::npos)
        << session_->LoginCalls();
}

}  // namespace
}  // namespace ww::e2e
