#include "platform/linux/x11/X11ScreenSaver.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>

#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/XSession.h"

// Xlib last: its macros (None, Status, Bool) break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace ww::platform {
namespace {

struct Settings {
    int timeout = 0;
    int interval = 0;
    int preferBlanking = 0;
    int allowExposures = 0;
};

// A private X server; the saver under test has one connection to it, the
// test another, as a user's `xset` would.
class X11ScreenSaverTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { session_ = std::make_unique<e2e::XSession>(); }
    static void TearDownTestSuite() { session_.reset(); }

    X11ScreenSaverTest()
        : program_(XOpenDisplay(session_->Display().c_str())),
          user_(XOpenDisplay(session_->Display().c_str())) {}
    ~X11ScreenSaverTest() override {
        XCloseDisplay(program_);
        XCloseDisplay(user_);
    }

    void UserSets(const Settings& s) {
        XSetScreenSaver(user_, s.timeout, s.interval, s.preferBlanking, s.allowExposures);
        XSync(user_, False);
    }
    Settings ServerHas() {
        XSync(program_, False);
        Settings s;
        XGetScreenSaver(user_, &s.timeout, &s.interval, &s.preferBlanking, &s.allowExposures);
        return s;
    }
    static int Active(X11ScreenSaver& saver) {
        std::int32_t flag = 7;
        EXPECT_TRUE(saver.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &flag, 0));
        return flag;
    }
    static void Switch(X11ScreenSaver& saver, std::uint32_t on, std::uint32_t fWinIni = 0) {
        EXPECT_TRUE(saver.SystemParametersInfoA(spi::kSetScreenSaveActive, on, nullptr, fWinIni));
    }

    static std::unique_ptr<e2e::XSession> session_;
    Display* program_;
    Display* user_;
};

std::unique_ptr<e2e::XSession> X11ScreenSaverTest::session_;

struct CrashCase {
    const char* name;
    const char* crash;  // what the helper does
    int signal;         // and dies of
};
void PrintTo(const CrashCase& c, std::ostream* os) {
    *os << c.name;
}

class CrashWhileHeld : public X11ScreenSaverTest,
                       public ::testing::WithParamInterface<CrashCase> {};

// A program that crashes while it holds the saver off has it back on, and
// still dies of the crash (so it is still reported).
TEST_P(CrashWhileHeld, PutsTheTimeoutBackAndDiesOfTheSignal) {
    UserSets({450, 600, PreferBlanking, AllowExposures});
    e2e::SpawnOptions options;
    options.argv = {WW_SAVER_RESCUE_CRASH, session_->Display(), GetParam().crash};
    options.env = e2e::Environment::Clean().Entries();
    options.stdoutPath = ::testing::TempDir() + "saver-rescue-crash-" + GetParam().name + ".out";
    e2e::Process helper(options);
    ASSERT_TRUE(e2e::WaitFor([&] { return !helper.Running(); }, std::chrono::seconds(10)));
    EXPECT_EQ(e2e::ReadFile(options.stdoutPath), "held\n");
    EXPECT_EQ(helper.TermSignal(), GetParam().signal) << helper.Describe();
    EXPECT_TRUE(e2e::WaitFor([&] { return ServerHas().timeout == 450; }, std::chrono::seconds(2)))
        << "timeout " << ServerHas().timeout;
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashWhileHeld,
                         ::testing::Values(CrashCase{"SIGSEGV", "SEGV", SIGSEGV},
                                           CrashCase{"StackOverflow", "STACK", SIGSEGV},
                                           CrashCase{"SIGBUS", "BUS", SIGBUS},
                                           CrashCase{"SIGFPE", "FPE", SIGFPE},
                                           CrashCase{"SIGILL", "ILL", SIGILL}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(X11ScreenSaverTest, OffKeepsTheOtherSettingsAndOnPutsTheTimeoutBack) {
    for (const std::uint32_t fWinIni : {0U, 3U}) {
        SCOPED_TRACE(fWinIni);
        UserSets({300, 120, DontPreferBlanking, AllowExposures});
        X11ScreenSaver saver(program_, nullptr);
        EXPECT_EQ(Active(saver), 1);

        Switch(saver, 0, fWinIni);
        const Settings off = ServerHas();
        EXPECT_EQ(off.timeout, 0);
        EXPECT_EQ(off.interval, 120);
        EXPECT_EQ(off.preferBlanking, DontPreferBlanking);
        EXPECT_EQ(off.allowExposures, AllowExposures);
        EXPECT_EQ(Active(saver), 0);

        Switch(saver, 0, fWinIni);  // twice off still remembers 300
        Switch(saver, 1, fWinIni);
        EXPECT_EQ(ServerHas().timeout, 300);
        EXPECT_EQ(Active(saver), 1);
    }
}

// "On" undoes this program's hold only: a timeout found at 0 stays 0, on
// the way out too (this once wrote the server's default there).
TEST_F(X11ScreenSaverTest, OnWithoutAHoldLeavesATimeoutOfZeroAlone) {
    UserSets({0, 600, PreferBlanking, AllowExposures});

    X11ScreenSaver saver(program_, nullptr);
    EXPECT_EQ(Active(saver), 0);
    Switch(saver, 1);
    EXPECT_EQ(ServerHas().timeout, 0);
    Switch(saver, 0);
    Switch(saver, 1);
    EXPECT_EQ(ServerHas().timeout, 0);
    saver.RestoreOnExit();
    EXPECT_EQ(ServerHas().timeout, 0);
}

// Release puts back exactly what was there before the hold, and only while
// the server still has the 0 this program wrote.
TEST_F(X11ScreenSaverTest, ReleaseRestoresExactlyWhatTheHoldReplaced) {
    struct Case {
        const char* name;
        int before;         // the timeout when the hold is taken
        int userMeanwhile;  // set by the user while held; -2: untouched
        bool byExit;        // released by RestoreOnExit instead of "on"
        int expected;
    };
    for (const Case& c :
         {Case{"HeldAndSwitchedOn", 300, -2, false, 300}, Case{"HeldAndExited", 420, -2, true, 420},
          Case{"ZeroHeldAndSwitchedOn", 0, -2, false, 0}, Case{"ZeroHeldAndExited", 0, -2, true, 0},
          Case{"UserChangedItWhileHeld", 300, 900, false, 900},
          Case{"UserChangedItWhileHeldThenExit", 300, 900, true, 900}}) {
        SCOPED_TRACE(c.name);
        UserSets({c.before, 600, PreferBlanking, AllowExposures});
        X11ScreenSaver saver(program_, nullptr);
        Switch(saver, 0);
        EXPECT_EQ(ServerHas().timeout, 0);
        if (c.userMeanwhile != -2) {
            UserSets({c.userMeanwhile, 600, PreferBlanking, AllowExposures});
        }
        if (c.byExit) {
            saver.RestoreOnExit();
        } else {
            Switch(saver, 1);
        }
        EXPECT_EQ(ServerHas().timeout, c.expected);
    }
}

TEST_F(X11ScreenSaverTest, OnFollowsATimeoutTheUserChangedMeanwhile) {
    UserSets({300, 600, PreferBlanking, AllowExposures});
    X11ScreenSaver saver(program_, nullptr);
    UserSets({450, 600, PreferBlanking, AllowExposures});
    Switch(saver, 0);
    Switch(saver, 1);
    EXPECT_EQ(ServerHas().timeout, 450);
}

TEST_F(X11ScreenSaverTest, RestoreOnExitUndoesOnlyWhatTheProgramSwitchedOff) {
    UserSets({300, 600, PreferBlanking, AllowExposures});
    {
        X11ScreenSaver saver(program_, nullptr);
        Switch(saver, 0);
        saver.RestoreOnExit();
        EXPECT_EQ(ServerHas().timeout, 300);
        saver.RestoreOnExit();
        EXPECT_EQ(ServerHas().timeout, 300);
    }
    {
        // Switched on again, then the user turns the saver off: left alone.
        X11ScreenSaver saver(program_, nullptr);
        Switch(saver, 0);
        Switch(saver, 1);
        // The user acts after the program's request has reached the server.
        XSync(program_, False);
        UserSets({0, 600, PreferBlanking, AllowExposures});
        saver.RestoreOnExit();
        EXPECT_EQ(ServerHas().timeout, 0);
    }
}

TEST_F(X11ScreenSaverTest, StartActivatesTheServersSaver) {
    UserSets({300, 600, PreferBlanking, AllowExposures});
    XForceScreenSaver(user_, ScreenSaverReset);
    XSync(user_, False);
    X11ScreenSaver saver(program_, nullptr);

    saver.StartScreenSaver();
    XSync(program_, False);

    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    ASSERT_NE(XScreenSaverQueryInfo(user_, XDefaultRootWindow(user_), info), 0);
    EXPECT_EQ(info->state, ScreenSaverOn);
    XFree(info);
    XForceScreenSaver(user_, ScreenSaverReset);
    XSync(user_, False);
}

TEST_F(X11ScreenSaverTest, OtherActionsAndAMissingPointerFail) {
    X11ScreenSaver saver(program_, nullptr);
    std::int32_t flag = 7;
    EXPECT_FALSE(saver.SystemParametersInfoA(15, 0, &flag, 0));
    EXPECT_FALSE(saver.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, nullptr, 0));
    EXPECT_EQ(flag, 7);
}

}  // namespace
}  // namespace ww::platform
