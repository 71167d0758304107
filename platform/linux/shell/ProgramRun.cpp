#include "platform/linux/shell/ProgramRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace ww::platform {
namespace {

// How the watcher process reports back in its exit status.
constexpr int kKilled = 252;
constexpr int kRunning = 253;
constexpr int kNotStarted = 254;
constexpr int kLargestPassed = 251;
constexpr long kPollNs = 5'000'000;

void Report(int fd, int error) {
    [[maybe_unused]] const ssize_t n = ::write(fd, &error, sizeof error);
}

// Runs in the forked watcher: only async-signal-safe calls from here on.
[[noreturn]] void Watch(char* const* argv, int errorFd, long waitNs) {
    const pid_t child = ::fork();
    if (child < 0) {
        Report(errorFd, errno);
        ::_exit(kNotStarted);
    }
    if (child == 0) {
        ::setsid();
        const int input = ::open("/dev/null", O_RDONLY);
        if (input >= 0) {
            ::dup2(input, STDIN_FILENO);
        }
        ::execv(argv[0], argv);
        Report(errorFd, errno);
        ::_exit(127);
    }
    ::close(errorFd);
    const timespec step{0, kPollNs};
    for (long waited = 0;; waited += kPollNs) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (!WIFEXITED(status)) {
                ::_exit(kKilled);
            }
            const int code = WEXITSTATUS(status);
            ::_exit(code <= kLargestPassed ? code : kLargestPassed);
        }
        if (waited >= waitNs) {
            // The child is reparented when the watcher goes.
            ::_exit(kRunning);
        }
        ::nanosleep(&step, nullptr);
    }
}

}  // namespace

ProgramOutcome RunForAnswer(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::milliseconds wait) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const long waitNs =
        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count());

    // The child writes errno here when it cannot start; a successful exec
    // closes the pipe.
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
        return {ProgramOutcome::State::NotStarted, 0, errno};
    }
    const pid_t watcher = ::fork();
    if (watcher < 0) {
        const int error = errno;
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        return {ProgramOutcome::State::NotStarted, 0, error};
    }
    if (watcher == 0) {
        ::close(errorPipe[0]);
        Watch(argv.data(), errorPipe[1], waitNs);
    }
    ::close(errorPipe[1]);
    int status = 0;
    while (::waitpid(watcher, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = -1;
    do {
        got = ::read(errorPipe[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    ::close(errorPipe[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        return {ProgramOutcome::State::NotStarted, 0, error};
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : kKilled;
    switch (code) {
        case kRunning:
            return {ProgramOutcome::State::Running, 0, 0};
        case kKilled:
        case kNotStarted:
            return {ProgramOutcome::State::Killed, 0, 0};
        default:
            return {ProgramOutcome::State::Exited, code, 0};
    }
}

}  // namespace ww::platform
