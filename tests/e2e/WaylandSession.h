#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"

namespace ww::e2e {

// A private Wayland desktop for one test, with no X server anywhere: a
// headless sway (run as the unprivileged user 65534, which sway insists on)
// with one 1024 × 768 output, a pointer device on its seat, a private session
// bus and a stand-in org.freedesktop.ScreenSaver that records its calls
// (left out where the session's own saver is the compositor's idle daemon).
class WaylandSession {
  public:
    // Throws std::runtime_error when a part does not come up.
    explicit WaylandSession(bool saverStandIn = true);
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    TempDir& Dir() { return dir_; }
    const std::string& BusAddress() const { return busAddress_; }

    // What the program under test gets: the compositor's socket by its full
    // path, the private bus, its own runtime and XDG directories, the trace
    // going to <dir>/<traceName>.trace; no DISPLAY.
    Environment ProgramEnv(const std::string& traceName) const;
    std::string TracePath(const std::string& traceName) const;

    // Puts the pointer at (x, y) of the layout; false when swaymsg failed.
    bool MovePointer(int x, int y);
    // swaymsg -t get_tree, as JSON text; empty on failure.
    std::string Tree() const;

    // The calls the stand-in screen saver has had, in order; none without it.
    std::vector<std::string> SaverCalls() const;

  private:
    int Swaymsg(const std::vector<std::string>& args, const std::string& outPath) const;
    void WaitReady(Process& process, const std::string& what);

    TempDir dir_;
    std::string swayRuntime_;
    std::string waylandSocket_;
    std::string ipcSocket_;
    std::string busAddress_;
    std::optional<Process> sway_;
    std::optional<Process> bus_;
    std::optional<Process> saver_;
    std::optional<Process> pointer_;
};

}  // namespace ww::e2e
