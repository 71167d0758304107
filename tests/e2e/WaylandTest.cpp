#include <gtest/gtest.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "tests/e2e/Environment.h"
#include "tests/e2e/SniBus.h"
#include "tests/e2e/Trace.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/WaylandSession.h"

namespace ww::e2e {
namespace {

// The output is 1024 × 768; the corners are its last pixels.
constexpr int kBottomLeftX = 0;
constexpr int kBottomRightX = 1023;
constexpr int kBottomY = 767;
constexpr int kMiddleX = 512;
constexpr int kMiddleY = 384;

const std::string kInhibit = "Inhibit(Wakewatch, The screen saver is switched off from Wakewatch)";

// Each test gets its own compositor, bus and screen saver, and starts the
// program there. A failing test keeps its directory and prints the logs.
class WaylandTest : public ::testing::Test {
  protected:
    void SetUp() override { session_ = std::make_unique<WaylandSession>(); }

    void TearDown() override {
        if (HasFailure()) {
            const std::string dir = session_->Dir().Path();
            session_->Dir().Keep();
            std::cerr << "Kept for inspection: " << dir << "\n";
            for (const auto& entry : std::filesystem::directory_iterator(dir)) {
                const auto ext = entry.path().extension();
                const bool hostLog = entry.path().filename().string().starts_with("host-");
                if (ext == ".stderr" || ext == ".trace" || ext == ".calls" || hostLog) {
                    std::cerr << "--- " << entry.path().filename().string() << "\n"
                              << ReadFile(entry.path().string()) << "\n";
                }
            }
        }
        programs_.clear();
        session_.reset();
    }

    Process& Launch(const std::vector<std::string>& args = {}) {
        return Launch(session_->ProgramEnv("wakewatch"), args);
    }
    Process& Launch(const Environment& env, const std::vector<std::string>& args = {}) {
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.argv.insert(program.argv.end(), args.begin(), args.end());
        program.env = env.Entries();
        program.stdoutPath = session_->Dir().Path() + "/wakewatch.stdout";
        program.stderrPath = session_->Dir().Path() + "/wakewatch.stderr";
        return programs_.emplace_back(program);
    }

    void HotCornersOn() {
        const std::string path = session_->Dir().Path() + "/config-dirs/wakewatch/machine.reg";
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path) << "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n"
                               "\"HotCorners\"=dword:00000001\n";
    }

    Trace ProgramTrace() const { return Trace(session_->TracePath("wakewatch")); }
    std::string Stderr(Process& program) const { return ReadFile(program.StderrPath()); }

    // The program has said how it reaches the saver and the corners: its
    // connections are up and the tick runs.
    bool Started(Process& program) {
        return WaitFor(
            [&] {
                return Stderr(program).find("hot corners") != std::string::npos &&
                       ProgramTrace().Has("notify");
            },
            15s);
    }

    bool SaverCalled(const std::vector<std::string>& calls) {
        return WaitFor([&] { return session_->SaverCalls() == calls; }, 5s);
    }

    std::unique_ptr<WaylandSession> session_;
    std::deque<Process> programs_;
};

bool IsUptimeTip(const std::string& tip) {
    return tip.find(" up for ") != std::string::npos;
}

TEST_F(WaylandTest, StartsWithoutAnyXServerAndTheTooltipTicks) {
    // Our own StatusNotifierWatcher and host on the session's bus.
    SniBus tray(session_->Dir().Path(), WW_SNI_HOST_PATH, session_->BusAddress());
    tray.StartHost();
    Process& program = Launch();
    ASSERT_TRUE(Started(program)) << program.Describe();
    // Two different uptime texts: the tick runs and reaches the tray icon.
    EXPECT_TRUE(WaitFor(
        [&] {
            std::set<std::string> tips;
            for (const TraceLine& line : ProgramTrace().All("notify")) {
                const std::string tip = line.Field("tip");
                if (IsUptimeTip(tip)) {
                    tips.insert(tip);
                }
            }
            return tips.size() >= 2;
        },
        5s));
    // The item reaches the host, and the host sees its tooltip tick.
    ASSERT_TRUE(WaitFor([&] { return tray.HostLog().Has("item props "); }, 10s))
        << program.Describe();
    EXPECT_EQ(tray.HostLog().All("item props ").front().Field("id"), "wakewatch");
    EXPECT_TRUE(WaitFor(
        [&] {
            std::set<std::string> tips;
            for (const TraceLine& line : tray.HostLog().All("tooltip ")) {
                if (IsUptimeTip(line.Field("tip"))) {
                    tips.insert(line.Field("tip"));
                }
            }
            return tips.size() >= 2;
        },
        5s));
    const std::string err = Stderr(program);
    // Each mechanism is named once, and no X server was looked for.
    const std::string saver = "wakewatch: screen saver through org.freedesktop.ScreenSaver\n";
    EXPECT_NE(err.find(saver), std::string::npos) << err;
    EXPECT_EQ(err.find(saver), err.rfind(saver)) << err;
    EXPECT_NE(err.find("wakewatch: hot corners through zwlr_layer_shell_v1\n"), std::string::npos)
        << err;
    EXPECT_EQ(err.find("display"), std::string::npos) << err;
    EXPECT_TRUE(program.Running()) << program.Describe();
}

TEST_F(WaylandTest, AnXDisplayNamedBesideTheSessionIsNotUsed) {
    Environment env = session_->ProgramEnv("wakewatch");
    env.Set("DISPLAY", ":4242");  // no server there: opening it would end the program
    HotCornersOn();
    Process& program = Launch(env);
    ASSERT_TRUE(Started(program)) << program.Describe();
    ASSERT_TRUE(session_->MovePointer(kBottomLeftX, kBottomY));
    EXPECT_TRUE(SaverCalled({"SetActive(true)"}))
        << ::testing::PrintToString(session_->SaverCalls());
}

TEST_F(WaylandTest, AnUnreachableCompositorIsWaitedForThenNamedInOneLine) {
    const struct {
        const char* name;
        const char* value;
        const char* shown;
    } cases[] = {{"WAYLAND_DISPLAY", "wayland-77", "\"wayland-77\""},
                 {"XDG_SESSION_TYPE", "wayland", "\"wayland-0\""}};
    // Both at once: each waits its full time before it gives up.
    std::vector<Process*> launched;
    for (const auto& c : cases) {
        Environment env = session_->ProgramEnv("unreachable");
        env.Unset("WAYLAND_DISPLAY");
        env.Set(c.name, c.value);
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.env = env.Entries();
        program.stderrPath = session_->Dir().Path() + "/" + c.name + ".stderr";
        launched.push_back(&programs_.emplace_back(program));
    }
    for (std::size_t i = 0; i < launched.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        Process& program = *launched[i];
        ASSERT_TRUE(program.WaitExit(45s));
        EXPECT_EQ(program.ExitCode(), 1) << program.Describe();
        EXPECT_EQ(Stderr(program),
                  std::string("wakewatch: waiting up to 30 s for the Wayland compositor\n"
                              "wakewatch: cannot reach the Wayland compositor ") +
                      cases[i].shown + "\n");
    }
}

TEST_F(WaylandTest, ACompositorThatComesUpLaterIsWaitedFor) {
    Environment env = session_->ProgramEnv("wakewatch");
    const std::string real = env.Get("WAYLAND_DISPLAY");
    const std::string late = session_->Dir().Path() + "/late-wayland";
    env.Set("WAYLAND_DISPLAY", late);
    Process& program = Launch(env);
    ASSERT_TRUE(WaitFor(
        [&] { return Stderr(program).find("waiting up to 30 s") != std::string::npos; }, 10s))
        << program.Describe();
    EXPECT_TRUE(program.Running()) << program.Describe();
    // The compositor's socket appears, as it does when the compositor is up.
    std::filesystem::create_symlink(real, late);
    EXPECT_TRUE(Started(program)) << program.Describe();
}

TEST_F(WaylandTest, PopupOpensTheMainWindow) {
    Process& program = Launch({"-POPUP"});
    EXPECT_TRUE(WaitFor(
        [&] { return session_->Tree().find("\"name\": \"Wakewatch\"") != std::string::npos; }, 15s))
        << session_->Tree();
    EXPECT_TRUE(program.Running()) << program.Describe();
}

TEST_F(WaylandTest, BottomLeftCornerStartsTheScreenSaver) {
    HotCornersOn();
    Process& program = Launch();
    ASSERT_TRUE(Started(program)) << program.Describe();
    ASSERT_TRUE(session_->MovePointer(kBottomLeftX, kBottomY));
    EXPECT_TRUE(SaverCalled({"SetActive(true)"}))
        << ::testing::PrintToString(session_->SaverCalls());
    EXPECT_TRUE(WaitFor([&] { return ProgramTrace().Has("saver start"); }, 5s));
}

TEST_F(WaylandTest, BottomRightCornerHoldsTheSaverOffUntilThePointerLeaves) {
    HotCornersOn();
    Process& program = Launch();
    ASSERT_TRUE(Started(program)) << program.Describe();
    ASSERT_TRUE(session_->MovePointer(kBottomRightX, kBottomY));
    ASSERT_TRUE(SaverCalled({kInhibit})) << ::testing::PrintToString(session_->SaverCalls());

    ASSERT_TRUE(session_->MovePointer(kMiddleX, kMiddleY));
    EXPECT_TRUE(SaverCalled({kInhibit, "UnInhibit(101)"}))
        << ::testing::PrintToString(session_->SaverCalls());
}

TEST_F(WaylandTest, SigtermReleasesTheHoldOfTheBottomRightCorner) {
    HotCornersOn();
    Process& program = Launch();
    ASSERT_TRUE(Started(program)) << program.Describe();
    ASSERT_TRUE(session_->MovePointer(kBottomRightX, kBottomY));
    ASSERT_TRUE(SaverCalled({kInhibit})) << ::testing::PrintToString(session_->SaverCalls());

    program.Signal(SIGTERM);
    ASSERT_TRUE(program.WaitExit(5s));
    EXPECT_EQ(program.ExitCode(), 0) << program.Describe();
    EXPECT_EQ(session_->SaverCalls(), (std::vector<std::string>{kInhibit, "UnInhibit(101)"}));
}

TEST_F(WaylandTest, CornersDoNothingWhileHotCornersAreOff) {
    Process& program = Launch();
    ASSERT_TRUE(Started(program)) << program.Describe();
    ASSERT_TRUE(session_->MovePointer(kBottomRightX, kBottomY));
    ASSERT_TRUE(session_->MovePointer(kBottomLeftX, kBottomY));
    // Several ticks of 400 ms.
    EXPECT_FALSE(WaitFor([&] { return !session_->SaverCalls().empty(); }, 1500ms));
}

}  // namespace
}  // namespace ww::e2e
