#include <csignal>

#include "tests/e2e/WakewatchTest.h"

namespace ww::e2e {
namespace {

// The private server is 1024 × 768; the corners are its last pixels.
constexpr int kBottomLeftX = 0;
constexpr int kBottomRightX = 1023;
constexpr int kBottomY = 767;
constexpr int kServerSaverTimeout = 600;  // Xvfb's default, in seconds

constexpr const char* kHotCornersOn =
    "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings]\n\"HotCorners\"=dword:00000001\n";

class HotCornersTest : public WakewatchTest {
  protected:
    // Starts the program and waits for its icon; the icon's window.
    XWindow Start(const std::vector<std::string>& args = {}) {
        program_ = &Launch("wakewatch", args);
        return WaitDocked(program_->Pid());
    }

    std::vector<std::uint32_t> IconPixels(XWindow icon) {
        const auto place = Probe().RootGeometry(icon);
        return place ? Probe().Pixels(*place) : std::vector<std::uint32_t>{};
    }

    // Waits until the icon's pixels differ from before (or, with same, equal them).
    bool IconBecomes(XWindow icon, const std::vector<std::uint32_t>& before, bool same) {
        return WaitFor(
            [&] {
                const auto now = IconPixels(icon);
                return !now.empty() && (now == before) == same;
            },
            5s);
    }

    bool SaverTimeoutBecomes(int seconds) {
        return WaitFor([&] { return Probe().SaverTimeout() == seconds; }, 5s);
    }

    Process* program_ = nullptr;
};

TEST_F(HotCornersTest, BottomLeftStartsTheScreenSaver) {
    WriteStore(MachineStore(), kHotCornersOn);
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_EQ(Probe().SaverState(), 0) << "the saver runs before the test began";

    ASSERT_TRUE(MoveCursor(kBottomLeftX, kBottomY));
    EXPECT_TRUE(WaitFor([&] { return Probe().SaverState() == 1; }, 5s))
        << "saver state " << Probe().SaverState();
    EXPECT_TRUE(TraceOf("wakewatch").Has("saver start"));
    // Starting it is not switching it off: the setting stays as the user had it.
    EXPECT_EQ(Probe().SaverTimeout(), kServerSaverTimeout);
}

TEST_F(HotCornersTest, BottomRightHoldsTheSaverOffUntilTheCursorLeaves) {
    WriteStore(MachineStore(), kHotCornersOn);
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(MoveCursor(512, 384));
    ASSERT_TRUE(IconBecomes(icon, IconPixels(icon), true));
    const auto idle = IconPixels(icon);

    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    EXPECT_TRUE(SaverTimeoutBecomes(0)) << "timeout " << Probe().SaverTimeout();
    EXPECT_TRUE(IconBecomes(icon, idle, false)) << "the icon does not show the hold";
    Snapshot("held");

    ASSERT_TRUE(MoveCursor(512, 384));
    EXPECT_TRUE(SaverTimeoutBecomes(kServerSaverTimeout)) << "timeout " << Probe().SaverTimeout();
    EXPECT_TRUE(IconBecomes(icon, idle, true)) << "the icon did not return to its picture";
}

TEST_F(HotCornersTest, CornersDoNothingWhileSwitchedOff) {
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    // Long enough for several ticks of 400 ms.
    EXPECT_FALSE(WaitFor([&] { return Probe().SaverTimeout() != kServerSaverTimeout; }, 1500ms));
    ASSERT_TRUE(MoveCursor(kBottomLeftX, kBottomY));
    EXPECT_FALSE(WaitFor([&] { return Probe().SaverState() == 1; }, 1500ms));
    EXPECT_FALSE(TraceOf("wakewatch").Has("saver start"));
}

// The screen-saver states the program can be in when it is told to end.
enum class SaverState { On, HeldByCorner, SwitchedOffFromMenu, Running };

struct EndCase {
    SaverState state;
    const char* stateName;
    int signal;
    const char* signalName;
};

void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.stateName << "/" << c.signalName;
}

class EndInEverySaverState : public HotCornersTest, public ::testing::WithParamInterface<EndCase> {
  protected:
    void Reach(SaverState state, XWindow icon) {
        switch (state) {
            case SaverState::On:
                return;
            case SaverState::HeldByCorner:
                ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
                ASSERT_TRUE(SaverTimeoutBecomes(0));
                return;
            case SaverState::SwitchedOffFromMenu:
                ASSERT_TRUE(ClickCentre(icon, 3));
                ASSERT_TRUE(WaitFor([&] { return TraceOf("wakewatch").Has("menu shown"); }, 5s));
                // "&Disable Screen Saver"
                ASSERT_EQ(X().Xdotool({"key", "d"}), 0);
                ASSERT_TRUE(SaverTimeoutBecomes(0));
                ASSERT_TRUE(MoveCursor(512, 384));
                return;
            case SaverState::Running:
                ASSERT_TRUE(MoveCursor(kBottomLeftX, kBottomY));
                ASSERT_TRUE(WaitFor([&] { return Probe().SaverState() == 1; }, 5s));
                return;
        }
    }
};

TEST_P(EndInEverySaverState, LeavesTheScreenSaverOn) {
    WriteStore(MachineStore(), kHotCornersOn);
    const XWindow icon = Start();
    ASSERT_NE(icon, 0u) << program_->Describe();
    Reach(GetParam().state, icon);
    if (HasFatalFailure()) {
        return;
    }

    program_->Signal(GetParam().signal);
    ASSERT_TRUE(program_->WaitExit(5s));
    EXPECT_EQ(program_->ExitCode(), 0) << program_->Describe();
    // The cursor is still where it was: only the exit path can have restored it.
    EXPECT_EQ(Probe().SaverTimeout(), kServerSaverTimeout);
}

std::vector<EndCase> EveryStateAndSignal() {
    std::vector<EndCase> cases;
    for (auto [state, stateName] :
         {std::pair{SaverState::On, "On"}, std::pair{SaverState::HeldByCorner, "HeldByCorner"},
          std::pair{SaverState::SwitchedOffFromMenu, "SwitchedOffFromMenu"},
          std::pair{SaverState::Running, "Running"}}) {
        for (auto [signal, signalName] :
             {std::pair{SIGTERM, "SIGTERM"}, std::pair{SIGINT, "SIGINT"},
              std::pair{SIGHUP, "SIGHUP"}}) {
            cases.push_back({state, stateName, signal, signalName});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(StatesAndSignals, EndInEverySaverState,
                         ::testing::ValuesIn(EveryStateAndSignal()), [](const auto& test) {
                             return std::string(test.param.stateName) + "_" + test.param.signalName;
                         });

TEST_F(HotCornersTest, OlderReleasesPerUserSettingIsMovedAndTakesEffect) {
    WriteStore(UserStore(),
               "[HKEY_CURRENT_USER\\Software\\Wakewatch]\n\n"
               "[HKEY_CURRENT_USER\\Software\\Wakewatch\\Settings]\n"
               "\"SleeperActive\"=dword:00000001\n\n"
               "[HKEY_CURRENT_USER\\Software\\Other]\n\"Kept\"=\"yes\"\n");
    ASSERT_NE(Start(), 0u) << program_->Describe();

    const std::string machine = ReadFile(MachineStore());
    EXPECT_NE(machine.find("\"HotCorners\"=dword:00000001"), std::string::npos) << machine;
    const std::string user = ReadFile(UserStore());
    EXPECT_EQ(user.find("Wakewatch"), std::string::npos) << user;
    EXPECT_NE(user.find("\"Kept\"=\"yes\""), std::string::npos) << user;

    ASSERT_TRUE(MoveCursor(kBottomRightX, kBottomY));
    EXPECT_TRUE(SaverTimeoutBecomes(0)) << "hot corners are not on after the migration";
}

TEST_F(HotCornersTest, AnUnreadableStoreIsLeftAloneAndReportedOnce) {
    const std::string broken =
        "[HKEY_LOCAL_MACHINE\\Software\\Wakewatch\\Settings\n\"HotCorners\"=";
    WriteStore(MachineStore(), broken);
    const std::string before = ReadFile(MachineStore());
    ASSERT_NE(Start(), 0u) << program_->Describe();

    const std::string err = ReadFile(program_->StderrPath());
    EXPECT_NE(err.find(MachineStore()), std::string::npos) << err;
    EXPECT_EQ(ReadFile(MachineStore()), before);
}

}  // namespace
}  // namespace ww::e2e
