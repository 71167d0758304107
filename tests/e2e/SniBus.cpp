#include "tests/e2e/SniBus.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/e2e/WaitFor.h"

namespace ww::e2e {

SniBus::SniBus(std::string dir, std::string hostProgram)
    : dir_(std::move(dir)), hostProgram_(std::move(hostProgram)) {
    StartDaemon();
}

void SniBus::StartDaemon() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    SpawnOptions options;
    options.argv = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3"};
    if (!address_.empty()) {
        options.argv.push_back("--address=" + address_);  // where the last one was
    }
    options.env = Environment::Clean().Entries();
    ++daemons_;
    options.stderrPath =
        dir_ +
        (daemons_ == 1 ? "/dbus-daemon.log" : "/dbus-daemon-" + std::to_string(daemons_) + ".log");
    options.fd3 = fds[1];
    try {
        daemon_ = std::make_unique<Process>(options);
    } catch (...) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw;
    }
    ::close(fds[1]);
    std::string address = ReadFirstLine(fds[0], std::chrono::seconds(10));
    ::close(fds[0]);
    if (address.empty()) {
        throw std::runtime_error("dbus-daemon printed no address");
    }
    // Without the daemon's guid, a daemon started anew at the same place is
    // the same bus to the clients.
    address_ = address.substr(0, address.find(",guid="));
}

void SniBus::RestartDaemon() {
    if (!daemon_) {
        throw std::runtime_error("the bus is someone else's");
    }
    daemon_->Stop();
    daemon_.reset();
    StartDaemon();
}

SniBus::SniBus(std::string dir, std::string hostProgram, std::string address)
    : dir_(std::move(dir)), hostProgram_(std::move(hostProgram)), address_(std::move(address)) {}

SniBus::~SniBus() {
    host_.reset();
    if (daemon_) {
        daemon_->Stop();
    }
}

Environment SniBus::With(Environment env) const {
    env.Set("DBUS_SESSION_BUS_ADDRESS", address_);
    return env;
}

std::string SniBus::LogPath(int start) const {
    return dir_ + "/host-" + std::to_string(start) + ".log";
}

void SniBus::StartHost(int watcherAfterMs, int hostAfterMs) {
    SpawnOptions options;
    options.argv = {hostProgram_,      "serve",
                    "--address",       address_,
                    "--log",           LogPath(++starts_),
                    "--watcher-after", std::to_string(watcherAfterMs),
                    "--host-after",    std::to_string(hostAfterMs)};
    options.argv.insert(options.argv.end(), hostOptions_.begin(), hostOptions_.end());
    options.env = With(Environment::Clean()).Entries();
    options.stderrPath = dir_ + "/host-" + std::to_string(starts_) + ".stderr";
    host_.emplace(options);
}

void SniBus::StopHost(int signal) {
    if (!host_) {
        return;
    }
    host_->Signal(signal);
    if (!host_->WaitExit(5s)) {
        throw std::runtime_error("the StatusNotifierItem host outlived its signal");
    }
    host_.reset();
}

SniBus::Answer SniBus::Call(const std::vector<std::string>& args) const {
    static int calls = 0;
    SpawnOptions options;
    // The command follows "call"; the address goes last.
    options.argv = {hostProgram_, "call"};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.argv.insert(options.argv.end(), {"--address", address_});
    options.env = With(Environment::Clean()).Entries();
    options.stdoutPath = dir_ + "/call-" + std::to_string(++calls) + ".out";
    options.stderrPath = dir_ + "/call.stderr";
    Answer answer;
    answer.code = RunToEnd(options, 10s);
    answer.lines = Trace(options.stdoutPath).Lines();
    return answer;
}

std::string MenuField(const std::vector<TraceLine>& lines, int id, const std::string& field) {
    for (const TraceLine& line : lines) {
        if (line.StartsWith("entry ") && line.Field("id") == std::to_string(id)) {
            return line.Field(field);
        }
    }
    return "<no entry " + std::to_string(id) + ">";
}

}  // namespace ww::e2e
