#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/XSession.h"
#include "tests/e2e/desktops/DesktopSession.h"

namespace ww::e2e {

// Cinnamon 5.6 on a private Xvfb server (muffin composites with llvmpipe), as
// cinnamon-session starts it: the shell and cinnamon-screensaver are the
// session's components, on a private session bus, with no system bus (the
// session manager then uses neither logind nor ConsoleKit). Settings go to a
// GLib keyfile in a private home. cinnamon-screensaver goes active when the
// session manager's presence turns idle, which the session manager's idle
// inhibitors hold off. It ends itself 30 s after it was last active and the
// bus starts it again on the next call; while it is away, idleness starts
// nothing, so a test of the idle action runs within that time or calls it
// first. Runs as root: nothing here refuses it.
class CinnamonSession : public DesktopSession {
  public:
    CinnamonSession();
    ~CinnamonSession() override;

    void Start() override;
    void Stop() override;
    bool SaverActive() override;
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override { SetIdleDelayTo(1); }
    // The running session follows the setting at once; the idle time counts
    // from this call.
    void SetIdleDelayTo(unsigned seconds);
    // idle-delay counts whole seconds; 0 means never.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(1); }
    std::string Dir() const override { return x_->Dir().Path(); }
    void KeepDir() override { x_->Dir().Keep(); }

    XSession& X() { return *x_; }
    // What a program in this session gets: the display, the bus, the home,
    // the trace going to <dir>/<traceName>.trace.
    Environment ProgramEnv(const std::string& traceName) const;
    // The session's icon window of pid docked in Cinnamon's tray; 0 if none.
    XWindow DockedIconOf(pid_t pid) const;
    // Whether cinnamon-screensaver is running: asked of the bus, which the
    // saver's own query would start it.
    bool SaverOnBus();
    // The presence of the session manager: 0 available, 3 idle.
    int PresenceStatus();

  private:
    Environment SessionEnv() const;
    Output Tool(std::vector<std::string> argv);
    Output Call(const std::string& method, const std::vector<std::string>& args = {});
    // Moves the pointer a little: the session's idle time starts from now.
    void Nudge();

    std::unique_ptr<XSession> x_;
    std::string home_;
    std::string busAddress_;
    std::optional<Process> bus_;
    std::optional<Process> session_;
    int starts_ = 0;
    int nudges_ = 0;
};

}  // namespace ww::e2e
