#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/desktops/DesktopSession.h"
#include "tests/e2e/desktops/UnprivilegedDesktop.h"

namespace ww::e2e {

// A desktop whose session manager (of GNOME's lineage: it owns
// org.gnome.SessionManager) starts the desktop's own screen saver, which
// blanks when the session's presence turns idle: from the X idle time, the
// idle-delay setting and the session's idle inhibitors. MATE and Cinnamon
// work so. Both run as the unprivileged user on Xvfb; their settings go
// through GLib's keyfile backend, written before the session starts.
class SessionManagerDesktop : public DesktopSession {
  public:
    // What tells one such desktop from another.
    struct Names {
        std::string desktop;  // XDG_CURRENT_DESKTOP
        // The session manager and its arguments before "-a <autostart>".
        std::vector<std::string> session;
        std::string saver;      // the saver's bus name, and its object
        std::string saverPath;  // at this path
        std::string command;    // its command-line tool
        std::chrono::milliseconds saverUp;
    };

    explicit SessionManagerDesktop(Names names);
    ~SessionManagerDesktop() override;

    void Start() override;
    void Stop() override;
    // The saver's own GetActive.
    bool SaverActive() override;
    // <command> --activate.
    void RequestSaverStart() override;
    std::string Dir() const override { return desktop_->X().Dir().Path(); }
    void KeepDir() override { desktop_->X().Dir().Keep(); }

    UnprivilegedDesktop& Desktop() { return *desktop_; }
    Environment ProgramEnv(const std::string& traceName) const;
    // <command> --deactivate: unblanks, as a key press would.
    void Deactivate();
    // The session's presence: 0 available, 3 idle.
    int PresenceStatus();
    // How many inhibitors the session manager holds (GetInhibitors).
    int Inhibitors();
    // User activity: the pointer moves, the X idle time starts again.
    void Nudge();

  protected:
    // The folder the session manager starts its components from.
    const std::string& Autostart() const { return autostart_; }
    // GLib's settings for the session, in effect from the next Start: a
    // running session is restarted.
    void WriteSettings(const std::string& keyfile);

    // The session's own environment, as its components get it.
    Environment Env() const;

  private:
    Output Command(const std::string& verb);

    Names names_;
    std::unique_ptr<UnprivilegedDesktop> desktop_;
    std::string autostart_;
    std::optional<Process> session_;
    int starts_ = 0;
    int nudges_ = 0;
};

}  // namespace ww::e2e
