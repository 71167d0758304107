#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/WaitFor.h"
#include "tests/e2e/desktops/CinnamonSession.h"
#include "tests/e2e/desktops/SwayIdleSession.h"
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

bool OnPath(const std::string& program) {
    const std::string path = Environment::Clean().Get("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find(':', start), path.size());
        const std::filesystem::path candidate =
            std::filesystem::path(path.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

std::vector<Desktop> Desktops() {
    return {
        {"Xscreensaver",
         {"Xvfb", "xscreensaver", "xscreensaver-command"},
         [] { return std::make_unique<XscreensaverSession>(); }},
        {"SwayIdle", {"sway", "swayidle"}, [] { return std::make_unique<SwayIdleSession>(); }},
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
    session_->Start();
    const auto started = std::chrono::steady_clock::now();
    const auto delay = session_->MinimumIdleDelay();
    ASSERT_TRUE(WaitFor([&] { return Active(); }, delay + 20s, 100ms));
    // Not at once: the delay was counted (a little slack for the start-up).
    EXPECT_GE(std::chrono::steady_clock::now() - started, delay - 500ms);
}

INSTANTIATE_TEST_SUITE_P(Desktops, DesktopSaverTest, ::testing::ValuesIn(Desktops()),
                         [](const auto& desktop) { return desktop.param.name; });

}  // namespace
}  // namespace ww::e2e
