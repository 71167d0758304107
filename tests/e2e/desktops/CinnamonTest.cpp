#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/Trace.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/CinnamonSession.h"

namespace ww::e2e {
namespace {

// With the idle delay at 1 s, a held session must stay quiet this long.
constexpr auto kHeldFor = 5s;
// And an unheld one goes idle this soon (the delay, and slack for the load).
constexpr auto kFiresWithin = 8s;

// Our program on a real headless Cinnamon: its icon in Cinnamon's own tray
// (XEmbed: Debian's Cinnamon has no StatusNotifierWatcher unless
// xapp-sn-watcher is installed), driven with the pointer and keys as a user
// would, and the saver read back from cinnamon-screensaver itself.
class CinnamonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SpawnOptions which;
        which.argv = {"sh", "-c", "command -v cinnamon cinnamon-session cinnamon-screensaver"};
        which.env = Environment::Clean().Entries();
        if (RunToEnd(which, 5s) != 0) {
            GTEST_SKIP() << "Cinnamon is not installed";
        }
        session_ = std::make_unique<CinnamonSession>();
        session_->Start();
    }

    void TearDown() override {
        if (!session_) {
            return;
        }
        session_->X().Screenshot(session_->Dir() + "/end.png");
        program_.reset();
        session_->Stop();
        if (HasFailure()) {
            std::cerr << "Logs: " << session_->Dir() << "\n"
                      << "--- wakewatch.stderr\n"
                      << ReadFile(session_->Dir() + "/wakewatch.stderr") << "\n";
            session_->KeepDir();
        }
        session_.reset();
    }

    XWindow Launch() {
        Environment env = session_->ProgramEnv("wakewatch");
        env.Set("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + session_->Dir() + "/no-system-bus");
        SpawnOptions program;
        program.argv = {WW_PROGRAM_PATH};
        program.env = env.Entries();
        program.stdoutPath = session_->Dir() + "/wakewatch.stdout";
        program.stderrPath = session_->Dir() + "/wakewatch.stderr";
        program_.emplace(program);
        XWindow icon = 0;
        WaitFor([&] { return (icon = session_->DockedIconOf(program_->Pid())) != 0; }, 20s);
        // The tray shows a new icon, and takes the pointer over it, only a
        // second after it docks: wait for its red on screen.
        XProbe& probe = session_->X().Probe();
        const bool drawn = WaitFor(
            [&] {
                const auto place = probe.RootGeometry(icon);
                if (!place) {
                    return false;
                }
                int red = 0;
                for (std::uint32_t pixel : probe.Pixels(*place)) {
                    red += (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x40 &&
                           (pixel & 0xFF) < 0x40;
                }
                return red >= 20;
            },
            10s);
        return drawn ? icon : 0;
    }

    bool Pointer(const std::vector<std::string>& args) { return session_->X().Xdotool(args) == 0; }
    bool HoverCentre(XWindow window) {
        const auto place = session_->X().Probe().RootGeometry(window);
        return place &&
               Pointer({"mousemove", std::to_string(place->CentreX() - 1),
                        std::to_string(place->CentreY())}) &&
               Pointer({"mousemove", std::to_string(place->CentreX()),
                        std::to_string(place->CentreY())});
    }

    // Our own override-redirect windows: the tooltip is short, the menu tall.
    XWindow OwnPopup(bool tall) {
        XProbe& probe = session_->X().Probe();
        for (XWindow w : probe.OverrideRedirectWindows()) {
            const auto place = probe.RootGeometry(w);
            if (probe.Pid(w) == program_->Pid() && place && (place->height > 100) == tall) {
                return w;
            }
        }
        return 0;
    }

    // Right-clicks the icon and picks a menu entry by its access key.
    bool Pick(XWindow icon, const std::string& key) {
        if (!HoverCentre(icon) || !Pointer({"click", "3"})) {
            return false;
        }
        XWindow menu = 0;
        if (!WaitFor([&] { return (menu = OwnPopup(true)) != 0; }, 5s)) {
            return false;
        }
        return Pointer({"key", "--delay", "100", key});
    }

    bool Active() { return session_->SaverActive() && session_->SaverActive(); }
    bool Fires() {
        return WaitFor([&] { return Active(); }, kFiresWithin, 100ms);
    }
    bool StaysQuiet() {
        return !WaitFor([&] { return session_->SaverActive(); }, kHeldFor, 200ms);
    }

    std::unique_ptr<CinnamonSession> session_;
    std::optional<Process> program_;
};

TEST_F(CinnamonTest, HoverOverTheIconShowsTheUptimeTooltip) {
    const XWindow icon = Launch();
    ASSERT_NE(icon, 0u) << "no icon in Cinnamon's tray; the program is " << program_->Describe();
    ASSERT_TRUE(HoverCentre(icon));
    XWindow tip = 0;
    ASSERT_TRUE(WaitFor([&] { return (tip = OwnPopup(false)) != 0; }, 8s))
        << "no tooltip while the pointer rests on the icon";
    ASSERT_TRUE(session_->X().Screenshot(session_->Dir() + "/tooltip.png"));
    // It keeps ticking in place.
    const Trace trace(session_->X().TracePath("wakewatch"));
    EXPECT_TRUE(WaitFor([&] { return trace.All("tooltip-refresh ").size() >= 2; }, 5s));
}

TEST_F(CinnamonTest, StartFromTheMenuActivatesCinnamonsSaver) {
    const XWindow icon = Launch();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_FALSE(Active());
    ASSERT_TRUE(Pick(icon, "s"));
    EXPECT_TRUE(Fires()) << "cinnamon-screensaver did not go active";
    const std::string err = ReadFile(program_->StderrPath());
    EXPECT_NE(err.find("org.cinnamon.ScreenSaver"), std::string::npos) << err;
}

// cinnamon-screensaver ends 30 s after it was last active and the bus starts
// it again when it is next called: the choice stays with it meanwhile.
TEST_F(CinnamonTest, StartActivatesCinnamonsSaverAfterItEndedWhileInactive) {
    const XWindow icon = Launch();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(WaitFor([&] { return !session_->SaverOnBus(); }, 45s, 500ms))
        << "cinnamon-screensaver stayed on the bus";
    ASSERT_TRUE(Pick(icon, "s"));
    EXPECT_TRUE(Fires()) << "cinnamon-screensaver was not started and activated";
    const std::string err = ReadFile(program_->StderrPath());
    EXPECT_EQ(err.find("the X server's saver"), std::string::npos) << err;
}

TEST_F(CinnamonTest, DisableHoldsCinnamonsIdleActionUntilUnchecked) {
    const XWindow icon = Launch();
    ASSERT_NE(icon, 0u) << program_->Describe();
    ASSERT_TRUE(Pick(icon, "d"));
    const Trace trace(session_->X().TracePath("wakewatch"));
    ASSERT_TRUE(WaitFor([&] { return trace.Has("saver active 0"); }, 5s));

    // Held: at the shortest idle delay the session stays available.
    session_->SetIdleDelayToMinimum();
    EXPECT_TRUE(StaysQuiet()) << "the session went idle under the hold, presence "
                              << session_->PresenceStatus();

    // Released with the delay long, so the menu is not raced by the saver;
    // then at the shortest delay the saver starts by itself.
    session_->SetIdleDelayTo(600);
    const size_t switchedOn = trace.All("saver active 1").size();
    ASSERT_TRUE(Pick(icon, "d"));
    ASSERT_TRUE(WaitFor([&] { return trace.All("saver active 1").size() > switchedOn; }, 5s));
    const auto released = std::chrono::steady_clock::now();
    session_->SetIdleDelayToMinimum();
    EXPECT_TRUE(Fires()) << "the session did not go idle after the release";
    std::cerr << "cinnamon-screensaver went active "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - released)
                     .count()
              << " ms after the release\n";
}

}  // namespace
}  // namespace ww::e2e
