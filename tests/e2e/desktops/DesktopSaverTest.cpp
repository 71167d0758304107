#include <gtest/gtest.h>
#include <functional>
#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/CinnamonSession.h"
#include "tests/e2e/desktops/GnomeSession.h"
#include "tests/e2e/desktops/KdeSession.h"
#include "tests/e2e/desktops/MateSession.h"
#include "tests/e2e/desktops/SwayIdleSession.h"
#include "tests/e2e/desktops/XfceSession.h"
#include "tests/e2e/desktops/XscreensaverSession.h"

namespace ww::e2e {
namespace {

// Each desktop by name, the programs it cannot do without, and how to bring
// its session object into being.
struct Desktop {
    std::string name;
    std::vector<std::string> programs;
    std::function<std::unique_ptr<DesktopSession>()> make;
};

// Test names carry the desktop's name, not the object's bytes.
void PrintTo(const Desktop& desktop, std::ostream* os) {
    *os << desktop.name;
}

std::vector<Desktop> Desktops() {
    return {
        {"Xscreensaver",
         {"Xvfb", "xscreensaver", "xscreensaver-command"},
         [] { return std::make_unique<XscreensaverSession>(); }},
        {"SwayIdle", {"sway", "swayidle"}, [] { return std::make_unique<SwayIdleSession>(); }},
        {"GnomeShell",
         {"gnome-shell", "gjs", "gdbus", "gsettings"},
         [] { return std::make_unique<GnomeSession>(); }},
        {"Kde",
         {"Xvfb", "kwin_x11", "kded5", "ksmserver", "xdotool"},
         [] { return std::make_unique<KdeSession>(); }},
        {"Mate",
         {"Xvfb", "mate-session", "mate-screensaver", "mate-screensaver-command", "xdotool"},
         [] { return std::make_unique<MateSession>(); }},
        {"Xfce",
         {"Xvfb", "xfce4-panel", "xscreensaver", "xscreensaver-command", "xdotool"},
         [] { return std::make_unique<XfceSession>(); }},
        {"Cinnamon",
         {"Xvfb", "cinnamon", "cinnamon-session", "cinnamon-screensaver", "gdbus", "gsettings"},
         [] { return std::make_unique<CinnamonSession>(); }},
    };
}

// These tests prove the harness against each real desktop, without our
// program: if the desktop's saver cannot be seen or started here, no test of
// ours on that desktop can mean anything.
class DesktopSaverTest : public ::testing::TestWithParam<Desktop> {
  protected:
    void SetUp() override {
        for (const std::string& program : GetParam().programs) {
            if (!OnPath(program)) {
                GTEST_SKIP() << program << " is not installed";
            }
        }
        session_ = GetParam().make();
    }

    void TearDown() override {
        if (!session_) {
            return;
        }
        session_->Stop();
        if (HasFailure()) {
            std::cerr << "Logs of " << GetParam().name << ": " << session_->Dir() << "\n";
            session_->KeepDir();
        }
        session_.reset();
    }

    // The query must answer the same way twice in a row: a saver that has
    // just flipped is caught on its second answer, not mid-way.
    bool Active() { return session_->SaverActive() && session_->SaverActive(); }

    std::unique_ptr<DesktopSession> session_;
};

TEST_P(DesktopSaverTest, ComesUpAndItsSaverAnswersInactive) {
    session_->Start();
    EXPECT_FALSE(Active());
}

TEST_P(DesktopSaverTest, AStartRequestActivatesItsOwnSaver) {
    session_->Start();
    ASSERT_FALSE(Active());
    session_->RequestSaverStart();
    EXPECT_TRUE(WaitFor([&] { return Active(); }, 10s, 100ms));
}

TEST_P(DesktopSaverTest, AtTheMinimumIdleDelayTheIdleActionFiresByItself) {
    session_->SetIdleDelayToMinimum();
    // The idle time may start counting anywhere inside Start() (a session
    // nudges the pointer before its saver comes up), so the delay is
    // measured from before it.
    const auto started = std::chrono::steady_clock::now();
    session_->Start();
    const auto delay = session_->MinimumIdleDelay();
    ASSERT_TRUE(WaitFor([&] { return Active(); }, delay + 20s, 100ms));
    // Not at once: the delay was counted (a little slack for timer rounding).
    EXPECT_GE(std::chrono::steady_clock::now() - started, delay - 500ms);
}

INSTANTIATE_TEST_SUITE_P(Desktops, DesktopSaverTest, ::testing::ValuesIn(Desktops()),
                         [](const auto& desktop) { return desktop.param.name; });

}  // namespace
}  // namespace ww::e2e
