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

    // Whether the session starts with an XEmbed tray host.
    virtual bool WithTrayHost() const { return true; }

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

    // The settings files of the session: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
    std::string MachineStore() const;
    std::string UserStore() const;
    // The current user's autostart entry for the program.
    std::string UserAutostartEntry() const;
    // Writes a settings file as the registry editor exports them, with these lines
    // after the header; creates its folder.
    static void WriteStore(const std::string& path, const std::string& body);

    // Moves the pointer; false when xdotool failed.
    bool MoveCursor(int x, int y);
    // Clicks button (1 left, 3 right) count times at the centre of window.
    bool ClickCentre(XWindow window, int button, int count = 1);
    // Gives window the keyboard focus and types these xdotool key names.
    bool Keys(XWindow window, const std::vector<std::string>& keys);
    // The viewable top-level window of pid called "Wakewatch"; 0 when none.
    XWindow MainWindowOf(pid_t pid);

    // The program under test: the build's, or an installed one named by
    // WW_E2E_PROGRAM (the package test starts /usr/bin/wakewatch this way).
    static std::string ProgramPath();
    static std::string HostName();
    // "<host name> up for <d> day(s), <h>:<mm>:<ss>".
    static bool IsUptimeTip(const std::string& tip);

  private:
    std::unique_ptr<XSession> session_;
    std::deque<Process> programs_;
};

}  // namespace ww::e2e
