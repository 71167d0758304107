#include <optional>
#include <string>

#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

// The private server is 1024 × 768; the corners are its last pixels.
constexpr int kBottomLeftX = 0;
constexpr int kBottomRightX = 1023;
constexpr int kBottomY = 767;
constexpr int kMiddleX = 512;
constexpr int kMiddleY = 384;

constexpr const char* kHotCornersOn =
    "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n\"HotCorners\"=dword:00000001\n";

// The program against a real xscreensaver on the private X server (no session
// bus, so no xscreensaver-systemd): what xscreensaver itself reports is what
// counts. The hold is seen through what it does, resetting the idle timer as
// user activity would: a saver started from outside while the hold is on is
// taken down again within the hold's period, and once released it stays up.
class XScreenSaverTest : public WakewatchTest {
  protected:
    void SetUp() override {
        WakewatchTest::SetUp();
        SpawnOptions saver;
        saver.argv = {"xscreensaver", "-no-splash"};
        Environment env = Environment::Clean();
        env.Set("DISPLAY", X().Display());
        env.Set("HOME", X().Dir().Sub("xscreensaver-home"));
        saver.env = env.Entries();
        saver.stderrPath = X().Dir().Path() + "/xscreensaver.stderr";
        saver_.emplace(saver);
        ASSERT_TRUE(WaitFor([&] { return State().has_value(); }, 10s))
            << "xscreensaver did not come up: " << ReadFile(saver.stderrPath);
    }
    void TearDown() override {
        WakewatchTest::TearDown();
        saver_.reset();
    }

    // xscreensaver-command with these arguments; its output, or nullopt when it failed.
    std::optional<std::string> Command(const std::string& argument) {
        SpawnOptions tool;
        tool.argv = {"xscreensaver-command", argument};
        Environment env = Environment::Clean();
        env.Set("DISPLAY", X().Display());
        tool.env = env.Entries();
        tool.stdoutPath = X().Dir().Path() + "/xscreensaver-command.out";
        tool.stderrPath = X().Dir().Path() + "/xscreensaver-command.err";
        if (RunToEnd(tool, 10s) != 0) {
            return std::nullopt;
        }
        return ReadFile(tool.stdoutPath);
    }
    // "blanked" or "non-blanked" (or "locked"), as `xscreensaver-command -time` says.
    std::optional<std::string> State() {
        const std::optional<std::string> time = Command("-time");
        if (!time) {
            return std::nullopt;
        }
        const auto at = time->find("screen ");
        if (at == std::string::npos) {
            return std::nullopt;
        }
        const auto end = time->find(' ', at + 7);
        return time->substr(at + 7, end - at - 7);
    }
    bool Becomes(const std::string& state, std::chrono::milliseconds timeout) {
        return WaitFor([&] { return State() == state; }, timeout, 250ms);
    }

    Process& StartProgram() {
        WriteStore(MachineStore(), kHotCornersOn);
        Process& program = Launch("wakewatch");
        EXPECT_NE(WaitDocked(program.Pid()), 0u) << program.Describe();
        return program;
    }

    std::optional<Process> saver_;
};

TEST_F(XScreenSaverTest, TheProgramSaysItUsesXScreenSaver) {
    Process& program = StartProgram();
    const std::string said = "wakewatch: screen saver through xscreensaver\n";
    const std::string err = ReadFile(program.StderrPath());
    EXPECT_NE(err.find(said), std::string::npos) << err;
    EXPECT_EQ(err.find(said), err.rfind(said)) << err;
}

TEST_F(XScreenSaverTest, BottomLeftCornerBlanksXScreenSaver) {
    Process& program = StartProgram();
    ASSERT_EQ(State(), "non-blanked");
    ASSERT_TRUE(MoveCursor(kBottomLeftX, kBottomY));
    EXPECT_TRUE(Becomes("blanked", 5s)) << State().value_or("?") << "\n"
                                        << ReadFile(program.StderrPath());
}

TEST_F(XScreenSaverTest, TheHoldTakesXScreenSaverDownUntilReleased) {
    Process& program = StartProgram();
    const int timeoutBefore = Probe().SaverTimeout();
    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    ASSERT_TRUE(WaitFor([&] { return TraceOf("wakewatch").Has("notify modify"); }, 5s));

    // Started from outside while held: the hold's next idle-timer reset
    // (every 2 s) takes it down, as a key press would.
    ASSERT_TRUE(Command("-activate"));
    ASSERT_TRUE(Becomes("blanked", 5s));
    EXPECT_TRUE(Becomes("non-blanked", 15s)) << ReadFile(program.StderrPath());
    // xscreensaver is the saver: the X server's own timeout is not ours to change.
    EXPECT_EQ(Probe().SaverTimeout(), timeoutBefore);

    // Released: nothing takes it down any more.
    ASSERT_TRUE(MoveCursor(kMiddleX, kMiddleY));
    ASSERT_TRUE(WaitFor([&] { return State() == "non-blanked"; }, 2s));
    ASSERT_TRUE(Command("-activate"));
    ASSERT_TRUE(Becomes("blanked", 5s));
    EXPECT_FALSE(WaitFor([&] { return State() != "blanked"; }, 12s, 500ms))
        << State().value_or("?");
}

}  // namespace
}  // namespace ww::e2e
