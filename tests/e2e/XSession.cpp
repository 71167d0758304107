#include "tests/e2e/XSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

namespace {

// A pipe whose ends are close-on-exec and far from 0 to 3.
struct Pipe {
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        read = ::fcntl(fds[0], F_DUPFD_CLOEXEC, 10);
        write = ::fcntl(fds[1], F_DUPFD_CLOEXEC, 10);
        ::close(fds[0]);
        ::close(fds[1]);
    }
    ~Pipe() {
        CloseWrite();
        ::close(read);
    }
    void CloseWrite() {
        if (write >= 0) {
            ::close(write);
            write = -1;
        }
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int read = -1;
    int write = -1;
};

}  // namespace

XSession::XSession(bool trayHost) {
    Pipe displayFd;
    SpawnOptions server;
    server.argv = {"Xvfb",        "-displayfd", "3",         "-screen", "0",
                   "1024x768x24", "-noreset",   "-nolisten", "tcp"};
    server.env = Environment::Clean().Entries();
    server.stderrPath = dir_.Path() + "/xvfb.log";
    server.fd3 = displayFd.write;
    server_.emplace(server);
    displayFd.CloseWrite();

    const std::string number = ReadFirstLine(displayFd.read, 10s);
    if (number.empty()) {
        throw std::runtime_error("Xvfb reported no display: " + ReadFile(server.stderrPath));
    }
    display_ = ":" + number;
    probe_ = std::make_unique<XProbe>(display_);
    if (trayHost) {
        StartTrayHost();
    }
}

XSession::~XSession() {
    trayHost_.reset();
    probe_.reset();
    if (server_) {
        server_->Stop();
    }
}

Environment XSession::ToolEnv() const {
    Environment env = Environment::Clean();
    env.Set("DISPLAY", display_);
    return env;
}

void XSession::StartTrayHost() {
    SpawnOptions host;
    host.argv = {"trayer",      "--edge",        "bottom",   "--align",  "right",
                 "--widthtype", "request",       "--height", "24",       "--SetDockType",
                 "true",        "--transparent", "false",    "--expand", "false"};
    host.env = ToolEnv().Entries();
    host.stderrPath = dir_.Path() + "/trayer-" + std::to_string(++trayHostStarts_) + ".log";
    trayHost_.emplace(host);
    const bool up =
        WaitFor([&] { return probe_->TraySelectionOwner() != 0 && probe_->TrayPanel() != 0; }, 10s);
    if (!up) {
        throw std::runtime_error("trayer did not come up: " + ReadFile(host.stderrPath));
    }
}

void XSession::StopTrayHost(int signal) {
    if (!trayHost_) {
        return;
    }
    trayHost_->Signal(signal);
    if (!trayHost_->WaitExit(5s)) {
        throw std::runtime_error("trayer outlived signal " + std::to_string(signal));
    }
    trayHost_.reset();
    if (!WaitFor([&] { return probe_->TraySelectionOwner() == 0; }, 5s)) {
        throw std::runtime_error("the tray selection outlived trayer");
    }
}

std::string XSession::TracePath(const std::string& traceName) const {
    return dir_.Path() + "/" + traceName + ".trace";
}

Environment XSession::ProgramEnv(const std::string& traceName) const {
    Environment env = ToolEnv();
    env.Set("XDG_RUNTIME_DIR", dir_.Sub("runtime"));
    env.Set("XDG_CONFIG_HOME", dir_.Sub("config"));
    env.Set("XDG_CONFIG_DIRS", dir_.Sub("config-dirs"));
    env.Set("WAKEWATCH_TRACE", TracePath(traceName));
    env.Set("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

int XSession::Xdotool(const std::vector<std::string>& args) const {
    SpawnOptions tool;
    tool.argv = {"xdotool"};
    tool.argv.insert(tool.argv.end(), args.begin(), args.end());
    tool.env = ToolEnv().Entries();
    tool.stderrPath = dir_.Path() + "/xdotool.log";
    return RunToEnd(tool, 10s);
}

bool XSession::Screenshot(const std::string& path) const {
    SpawnOptions tool;
    tool.argv = {"import", "-window", "root", path};
    tool.env = ToolEnv().Entries();
    return RunToEnd(tool, 20s) == 0;
}

}  // namespace ww::e2e
