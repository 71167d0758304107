#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/Environment.h"
#include "tests/e2e/Process.h"
#include "tests/e2e/Trace.h"

namespace ww::e2e {

// A private session bus and our own StatusNotifierWatcher and host on it
// (wakewatch_sni_host), which can come late, register its host late and
// restart. Each start logs to host-<n>.log in `dir`.
class SniBus {
  public:
    // `hostProgram` is wakewatch_sni_host. Throws std::runtime_error when
    // dbus-daemon does not come up.
    SniBus(std::string dir, std::string hostProgram);
    // The watcher and host on a bus that someone else runs, at `address`.
    SniBus(std::string dir, std::string hostProgram, std::string address);
    ~SniBus();
    SniBus(const SniBus&) = delete;
    SniBus& operator=(const SniBus&) = delete;

    const std::string& Address() const { return address_; }
    // env with this bus as the session bus.
    Environment With(Environment env) const;

    // Starts the watcher after watcherAfterMs and its host after hostAfterMs.
    void StartHost(int watcherAfterMs = 0, int hostAfterMs = 0);
    // Options of wakewatch_sni_host serve for the starts after this.
    void SetHostOptions(std::vector<std::string> options) { hostOptions_ = std::move(options); }
    // Ends the host with this signal and waits for it to go.
    void StopHost(int signal);
    // Ends the dbus-daemon and starts another at the same address; every
    // client loses its connection. The host must be stopped first.
    void RestartDaemon();
    // The log of the host started last.
    Trace HostLog() const { return Trace(LogPath(starts_)); }

    // Runs "wakewatch_sni_host call" with these arguments; its output lines
    // and exit code.
    struct Answer {
        int code = -1;
        std::vector<TraceLine> lines;
    };
    Answer Call(const std::vector<std::string>& args) const;

  private:
    void StartDaemon();
    std::string LogPath(int start) const;

    std::string dir_;
    std::string hostProgram_;
    std::unique_ptr<Process> daemon_;
    std::string address_;
    std::optional<Process> host_;
    std::vector<std::string> hostOptions_;
    int starts_ = 0;
    int daemons_ = 0;
};

// The "entry" lines of a "menu" answer, by id.
std::string MenuField(const std::vector<TraceLine>& lines, int id, const std::string& field);

}  // namespace ww::e2e
