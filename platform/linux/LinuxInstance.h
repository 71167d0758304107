#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <string_view>

#include "platform/ports/Instance.h"

namespace ww::platform {

// What decides where the instance lock lives and what a local name means.
struct InstanceEnvironment {
    std::string runtimeDir;  // XDG_RUNTIME_DIR
    std::string sessionId;   // XDG_SESSION_ID
    std::string display;     // DISPLAY
    uid_t uid = 0;

    static InstanceEnvironment FromProcess();
};

// $XDG_RUNTIME_DIR/wakewatch.lock, or /tmp/wakewatch-<uid>.lock without one.
std::string LockFilePath(const InstanceEnvironment& env);

// The abstract socket name (without its leading NUL) standing for a named
// mutex: "Global\" names are machine-wide, all others are per logon session
// (the uid with XDG_SESSION_ID, or with DISPLAY when there is no session id).
std::string MutexAddress(std::string_view name, const InstanceEnvironment& env);

// One instance per user through an flock held for the life of the process;
// named mutexes as abstract Unix sockets, which vanish with the process.
class LinuxInstance final : public Instance {
  public:
    explicit LinuxInstance(InstanceEnvironment env = InstanceEnvironment::FromProcess());
    ~LinuxInstance() override;
    LinuxInstance(const LinuxInstance&) = delete;
    LinuxInstance& operator=(const LinuxInstance&) = delete;

    bool PrevInstance() override;
    Handle CreateMutexA(bool initialOwner, std::string_view name) override;

  private:
    InstanceEnvironment env_;
    int lockFd_ = -1;
    std::map<Handle, int> mutexes_;  // handle -> socket, -1 when another process holds the name
    Handle lastHandle_ = 0;
};

}  // namespace ww::platform
