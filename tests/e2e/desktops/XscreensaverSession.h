#pragma once

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/XSession.h"
#include "tests/e2e/desktops/DesktopSession.h"

namespace ww::e2e {

// xscreensaver 6 on a private Xvfb server (the saver of XFCE, LXQt and the
// bare window managers). It runs as the unprivileged user: as root it still
// blanks but refuses to lock and reads root's home, not ours. Its settings are
// a ~/.xscreensaver of our own in a private home; it has no D-Bus service of
// its own (xscreensaver-systemd needs a system bus with logind and is left out).
class XscreensaverSession : public DesktopSession {
  public:
    XscreensaverSession();
    ~XscreensaverSession() override;

    void Start() override;
    void Stop() override;
    bool SaverActive() override;
    void RequestSaverStart() override;
    void SetIdleDelayToMinimum() override;
    // Below 5 s xscreensaver 6.06 drops the setting for a timeout of ten hours.
    std::chrono::milliseconds MinimumIdleDelay() const override { return std::chrono::seconds(5); }
    std::string Dir() const override { return x_->Dir().Path(); }
    void KeepDir() override { x_->Dir().Keep(); }

    XSession& X() { return *x_; }
    // Resets the idle timer, as xscreensaver-command -deactivate does.
    void ResetIdleTimer();

  private:
    void WriteSettings(const std::string& timeout);
    Output Command(const std::string& verb);
    Environment ToolEnv() const;

    std::unique_ptr<XSession> x_;
    std::string home_;
    std::optional<Process> daemon_;
    int starts_ = 0;
};

}  // namespace ww::e2e
