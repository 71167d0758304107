#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/Process.h"
#include "tests/e2e/Trace.h"
#include "tests/e2e/WaitFor.h"
#include "tests/e2e/XSession.h"

namespace ww::e2e {

// Each test gets its own X server and tray host and starts the program in it.
// A failing test keeps its directory (logs, traces, a screenshot) and says where;
// with WW_E2E_KEEP=1 every test does, with screenshots of its main moments.
class WakewatchTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    XSession& X() { return *session_; }
    XProbe& Probe() { return session_->Probe(); }

    // Starts the program; its trace and stderr are named after name. It lives
    // until the test has ended, so a failure's screenshot still shows it.
    Process& Launch(const std::string& name, const std::vector<std::string>& args = {});
    Process& Launch(const std::string& name, const Environment& env,
                    const std::vector<std::string>& args = {});
    Trace TraceOf(const std::string& name) const { return Trace(session_->TracePath(name)); }

    // The tray clients of the current tray host that belong to pid.
    std::vector<XWindow> DockedOf(pid_t pid);
    // Waits for pid's icon to dock; 0 when it did not within timeout.
    XWindow WaitDocked(pid_t pid, std::chrono::milliseconds timeout = 15s);

    // With WW_E2E_KEEP set, a screenshot <name>.png in the test's directory.
    void Snapshot(const std::string& name);

    static std::string HostName();
    // "<host name> up for <d> day(s), <h>:<mm>:<ss>".
    static bool IsUptimeTip(const std::string& tip);

  private:
    std::unique_ptr<XSession> session_;
    std::deque<Process> programs_;
};

}  // namespace ww::e2e
