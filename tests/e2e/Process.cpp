#include "tests/e2e/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

namespace ww::e2e {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

void Check(int result, const char* what) {
    if (result != 0) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(result));
    }
}

// posix_spawn file actions and attributes, released on every path out.
class SpawnSetup {
  public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attr_);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attr_;
};

}  // namespace

Process::Process(const SpawnOptions& options)
    : stdoutPath_(options.stdoutPath), stderrPath_(options.stderrPath) {
    if (options.argv.empty()) {
        throw std::runtime_error("Process: no program");
    }
    SpawnSetup setup;
    auto& actions = setup.actions_;
    const char* out = stdoutPath_.empty() ? "/dev/null" : stdoutPath_.c_str();
    const char* err = stderrPath_.empty() ? "/dev/null" : stderrPath_.c_str();
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    Check(posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0), "addopen");
    Check(posix_spawn_file_actions_addopen(&actions, 1, out, flags, 0644), "addopen");
    Check(posix_spawn_file_actions_addopen(&actions, 2, err, flags, 0644), "addopen");
    if (options.fd3 >= 0) {
        // dup2 onto a different number clears close-on-exec on the copy.
        Check(posix_spawn_file_actions_adddup2(&actions, options.fd3, 3), "adddup2");
    }

    // Own process group, default signal dispositions and an empty mask, whatever
    // the test runner set for itself.
    auto& attr = setup.attr_;
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGQUIT}) {
        sigaddset(&defaults, s);
    }
    sigset_t mask;
    sigemptyset(&mask);
    Check(posix_spawnattr_setsigdefault(&attr, &defaults), "setsigdefault");
    Check(posix_spawnattr_setsigmask(&attr, &mask), "setsigmask");
    Check(posix_spawnattr_setpgroup(&attr, 0), "setpgroup");
    Check(posix_spawnattr_setflags(
              &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK),
          "setflags");

    auto argv = options.argv;
    auto env = options.env;
    auto argvPointers = CStrings(argv);
    auto envPointers = CStrings(env);
    const int result = posix_spawnp(&pid_, argvPointers[0], &actions, &attr, argvPointers.data(),
                                    envPointers.data());
    if (result != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + options.argv[0] + ": " + std::strerror(result));
    }
}

Process::~Process() {
    if (pid_ > 0) {
        KillGroup();
    }
}

Process::Process(Process&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      ended_(other.ended_),
      status_(other.status_),
      stdoutPath_(std::move(other.stdoutPath_)),
      stderrPath_(std::move(other.stderrPath_)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        if (pid_ > 0) {
            KillGroup();
        }
        pid_ = std::exchange(other.pid_, -1);
        ended_ = other.ended_;
        status_ = other.status_;
        stdoutPath_ = std::move(other.stdoutPath_);
        stderrPath_ = std::move(other.stderrPath_);
    }
    return *this;
}

void Process::KillGroup() {
    // Only while the leader is unreaped: its number cannot have been reused yet.
    if (ended_) {
        return;
    }
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    WaitExit(std::chrono::milliseconds(5000));
}

bool Process::Running() {
    if (ended_ || pid_ <= 0) {
        return false;
    }
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        ended_ = true;
        status_ = status;
        return false;
    }
    return r == 0;
}

void Process::Signal(int signal) {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, signal);
    }
}

bool Process::WaitExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Running()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void Process::Stop(std::chrono::milliseconds grace) {
    Signal(SIGTERM);
    if (!WaitExit(grace)) {
        Signal(SIGKILL);
        WaitExit(std::chrono::milliseconds(5000));
    }
}

bool Process::ExitedNormally() const {
    return ended_ && WIFEXITED(status_);
}

int Process::ExitCode() const {
    return ExitedNormally() ? WEXITSTATUS(status_) : -1;
}

int Process::TermSignal() const {
    return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
}

std::string Process::Describe() const {
    if (!ended_) {
        return "running";
    }
    if (WIFEXITED(status_)) {
        return "exit " + std::to_string(WEXITSTATUS(status_));
    }
    if (WIFSIGNALED(status_)) {
        const int s = WTERMSIG(status_);
        return "signal " + std::to_string(s) + " (" + strsignal(s) + ")";
    }
    return "status " + std::to_string(status_);
}

int RunToEnd(const SpawnOptions& options, std::chrono::milliseconds timeout) {
    Process process(options);
    if (!process.WaitExit(timeout)) {
        return -1;
    }
    return process.ExitCode();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadFirstLine(int fd, std::chrono::milliseconds timeout) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) {
            continue;
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
    return {};
}

}  // namespace ww::e2e
