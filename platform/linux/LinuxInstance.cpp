#include "platform/linux/LinuxInstance.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace ww::platform {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

constexpr std::string_view kGlobalPrefix = "Global\\";
constexpr std::string_view kLocalPrefix = "Local\\";

// Opens the lock file without following links; refuses a file that is not a
// regular file of ours (someone else's file in /tmp must not decide for us).
int OpenLockFile(const std::string& path, uid_t uid) {
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != uid) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

InstanceEnvironment InstanceEnvironment::FromProcess() {
    return InstanceEnvironment{Variable("XDG_RUNTIME_DIR"), Variable("XDG_SESSION_ID"),
                               Variable("DISPLAY"), getuid()};
}

std::string LockFilePath(const InstanceEnvironment& env) {
    if (!env.runtimeDir.empty()) {
        return env.runtimeDir + "/wakewatch.lock";
    }
    return "/tmp/wakewatch-" + std::to_string(env.uid) + ".lock";
}

std::string MutexAddress(std::string_view name, const InstanceEnvironment& env) {
    if (name.starts_with(kGlobalPrefix)) {
        name.remove_prefix(kGlobalPrefix.size());
        return "ww-mutex/global/" + std::string(name);
    }
    if (name.starts_with(kLocalPrefix)) {
        name.remove_prefix(kLocalPrefix.size());
    }
    const std::string uid = std::to_string(env.uid);
    if (!env.sessionId.empty()) {
        return "ww-mutex/session/" + uid + "." + env.sessionId + "/" + std::string(name);
    }
    return "ww-mutex/display/" + uid + "." + env.display + "/" + std::string(name);
}

LinuxInstance::LinuxInstance(InstanceEnvironment env) : env_(std::move(env)) {}

LinuxInstance::~LinuxInstance() {
    for (const auto& [handle, fd] : mutexes_) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

bool LinuxInstance::PrevInstance() {
    if (lockFd_ >= 0) {
        return false;  // this process is the instance
    }
    const int fd = OpenLockFile(LockFilePath(env_), env_.uid);
    if (fd < 0) {
        return false;  // no usable lock file: nothing says another instance runs
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return errno == EWOULDBLOCK;
    }
    lockFd_ = fd;  // held, close-on-exec, until the process ends
    return false;
}

Handle LinuxInstance::CreateMutexA(bool /*initialOwner*/, std::string_view name) {
    const std::string address = MutexAddress(name, env_);
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    // Abstract namespace: a NUL first, the name after it, no file anywhere.
    if (name.empty() || address.size() + 1 > sizeof socketAddress.sun_path) {
        return 0;
    }
    std::memcpy(socketAddress.sun_path + 1, address.data(), address.size());
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.size());

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    int kept = fd;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&socketAddress), length) != 0) {
        const bool exists = errno == EADDRINUSE;
        ::close(fd);
        if (!exists) {
            return 0;
        }
        kept = -1;  // opened an existing object: a handle, but nothing of ours to keep
    }
    const Handle handle = ++lastHandle_;
    mutexes_.emplace(handle, kept);
    return handle;
}

}  // namespace ww::platform
