#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace ww::e2e {

// What to start: the program and its arguments, its whole environment
// ("NAME=value"), and where its output goes (empty path: /dev/null).
struct SpawnOptions {
    std::vector<std::string> argv;
    std::vector<std::string> env;
    std::string stdoutPath;
    std::string stderrPath;
    // Handed to the child as descriptor 3 (for Xvfb's -displayfd); -1: none.
    int fd3 = -1;
};

// A child process in its own process group. Whatever is still running when the
// object goes is killed with its group and reaped, so a failing test leaves no
// stray X server or tray host behind.
class Process {
  public:
    // Throws std::runtime_error when the program cannot be started.
    explicit Process(const SpawnOptions& options);
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t Pid() const { return pid_; }

    // Reaps the child when it has ended; false from then on.
    bool Running();

    // Sends the signal to the child alone (not its group).
    void Signal(int signal);

    // Waits up to timeout for the child to end; true when it has.
    bool WaitExit(std::chrono::milliseconds timeout);

    // Terminates politely, then by force after grace; reaps it.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    // After the child has ended: its raw wait status.
    int Status() const { return status_; }
    bool ExitedNormally() const;
    int ExitCode() const;
    int TermSignal() const;
    // "running", "exit 3" or "signal 11 (Segmentation fault)".
    std::string Describe() const;

    const std::string& StderrPath() const { return stderrPath_; }
    const std::string& StdoutPath() const { return stdoutPath_; }

  private:
    void KillGroup();

    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = 0;
    std::string stdoutPath_;
    std::string stderrPath_;
};

// Runs a short command to its end (killed after timeout); returns its exit code,
// or -1 when it timed out or died of a signal.
int RunToEnd(const SpawnOptions& options, std::chrono::milliseconds timeout);

// The whole text of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// The first line a child writes to `fd` (without its newline), or empty when
// none is complete within `timeout`.
std::string ReadFirstLine(int fd, std::chrono::milliseconds timeout);

}  // namespace ww::e2e
