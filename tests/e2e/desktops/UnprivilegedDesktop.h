#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/XSession.h"
#include "tests/e2e/desktops/DesktopSession.h"

namespace ww::e2e {

// What a desktop session of the unprivileged user needs around it: a private
// Xvfb, a session bus and a home, runtime and config folder of its own. The
// bus lets every user in, so the test and the program under test (both root)
// call the desktop's services where the desktop's own clients do.
class UnprivilegedDesktop {
  public:
    // Throws std::runtime_error when the X server or the bus does not come up.
    UnprivilegedDesktop();
    ~UnprivilegedDesktop();
    UnprivilegedDesktop(const UnprivilegedDesktop&) = delete;
    UnprivilegedDesktop& operator=(const UnprivilegedDesktop&) = delete;

    XSession& X() { return *x_; }
    const std::string& BusAddress() const { return busAddress_; }
    const std::string& Home() const { return home_; }
    // XDG_CONFIG_HOME of the desktop's programs.
    const std::string& Config() const { return config_; }

    // DISPLAY, HOME, XDG_RUNTIME_DIR, XDG_CONFIG_HOME and the session bus.
    Environment DesktopEnv() const;
    // The program under test's environment (its own XDG folders) on this
    // desktop's display and bus.
    Environment ProgramEnv(const std::string& traceName) const;

    // Starts a desktop program as the unprivileged user, logging to
    // <dir>/<log>.log; a process group of its own, which ends with the object.
    Process Spawn(const std::string& log, const std::vector<std::string>& argv,
                  const Environment& env) const;
    Process Spawn(const std::string& log, const std::vector<std::string>& argv) const {
        return Spawn(log, argv, DesktopEnv());
    }

    // busctl --user on this bus with these arguments.
    Output Busctl(const std::vector<std::string>& args) const;
    // Whether the name has an owner on this bus now.
    bool Owned(const std::string& name) const;
    // Waits until it has; throws naming `log` when it does not within timeout.
    void WaitOwned(const std::string& name, const std::string& log,
                   std::chrono::milliseconds timeout) const;

    // Whatever files the desktop wrote go to the unprivileged user again.
    void HandBack() const;

  private:
    std::unique_ptr<XSession> x_;
    std::string home_;
    std::string config_;
    std::string runtime_;
    std::string busAddress_;
    std::optional<Process> bus_;
};

}  // namespace ww::e2e
