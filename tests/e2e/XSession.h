#pragma once

#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"
#include "tests/e2e/XProbe.h"

namespace ww::e2e {

// A private desktop for one test: an Xvfb server on a display number of its
// own choosing, a tray host docked at the bottom right, and private XDG
// directories, all removed when the session ends.
class XSession {
  public:
    // Throws std::runtime_error when the server or the tray host does not come up.
    // Without `trayHost` the desktop has no XEmbed tray until StartTrayHost.
    explicit XSession(bool trayHost = true);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    const std::string& Display() const { return display_; }
    XProbe& Probe() { return *probe_; }
    TempDir& Dir() { return dir_; }

    // Starts trayer and waits until it owns the tray selection and shows its panel.
    void StartTrayHost();
    // Ends trayer with this signal and waits until its selection is gone.
    void StopTrayHost(int signal = SIGTERM);
    pid_t TrayHostPid() const { return trayHost_ ? trayHost_->Pid() : -1; }

    // What the program under test gets: this display, the session's XDG
    // directories, the trace going to <dir>/<traceName>.trace, leak checks off
    // (Qt and fontconfig free nothing at exit, which is not ours to judge).
    Environment ProgramEnv(const std::string& traceName) const;
    std::string TracePath(const std::string& traceName) const;

    // Runs xdotool with these arguments on this display; its exit code.
    int Xdotool(const std::vector<std::string>& args) const;
    // Writes the whole screen to path (PNG); true on success.
    bool Screenshot(const std::string& path) const;

  private:
    Environment ToolEnv() const;

    TempDir dir_;
    std::optional<Process> server_;
    std::string display_;
    std::unique_ptr<XProbe> probe_;
    std::optional<Process> trayHost_;
    int trayHostStarts_ = 0;
};

}  // namespace ww::e2e
