#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"

namespace ww::e2e {

// One real desktop brought up headless for a test, observed from outside
// through the desktop's own screen-saver interface, never through ours.
class DesktopSession {
  public:
    virtual ~DesktopSession() = default;

    // Brings the desktop up and returns once its saver answers the query.
    // Throws std::runtime_error, with the log's path, when it does not.
    virtual void Start() = 0;
    // Ends every process Start began, by its id.
    virtual void Stop() = 0;

    // Whether the desktop's own saver says it is active (blanked, locked or
    // idle) now. Throws when the saver does not answer.
    virtual bool SaverActive() = 0;
    // Asks the desktop's saver to start, as its own tools do.
    virtual void RequestSaverStart() = 0;
    // The shortest idle delay the saver accepts, in effect from the next
    // Start (a running desktop is restarted to pick it up).
    virtual void SetIdleDelayToMinimum() = 0;
    // That delay, so a test knows how long to wait for the idle action.
    virtual std::chrono::milliseconds MinimumIdleDelay() const = 0;

    // Where the session keeps its logs and private folders.
    virtual std::string Dir() const = 0;
    // Keeps that folder after the session ends, for a failed test.
    virtual void KeepDir() = 0;
};

// What a short command printed, and how it ended (-1: timed out or killed).
struct Output {
    int code = -1;
    std::string out;
};
Output Capture(SpawnOptions options, std::chrono::milliseconds timeout);

// The argv prefix that runs a program as the unprivileged user 65534, which
// the desktops that refuse (or weaken themselves under) root need.
std::vector<std::string> AsUnprivileged(std::vector<std::string> argv);
constexpr unsigned kUnprivilegedId = 65534;

// Whether program is on the clean environment's PATH.
bool OnPath(const std::string& program);

// Hands path (and everything under it) to the unprivileged user.
void HandToUnprivileged(const std::string& path);

}  // namespace ww::e2e
