#include "platform/linux/store/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "platform/linux/store/AtomicFile.h"

namespace ww::platform {
namespace {

constexpr auto kPatience = std::chrono::seconds(2);
constexpr auto kPause = std::chrono::milliseconds(20);

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::string FileLock::LockPathOf(const std::string& path) {
    const auto cut = path.rfind('/');
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    return DirectoryOf(path) + "/." + name + ".lock";
}

FileLock::FileLock(const std::string& path, bool createFolders, mode_t folderMode)
    : lockPath_(LockPathOf(path)) {
    const std::string folder = DirectoryOf(path);
    if (createFolders) {
        error_ = MakeDirectories(folder, folderMode, &why_);
        if (error_ != 0) {
            return;
        }
    }
    // Nothing could be written there anyway; the caller turns to its
    // fallback without waiting on anybody's lock.
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        error_ = errno;
        return;
    }
    if (auto refusal = WhyNotOwnFolder(folder)) {
        why_ = std::move(*refusal);
        error_ = EACCES;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while ((error_ = TryOnce()) == EWOULDBLOCK && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPause);
    }
}

int FileLock::TryOnce() {
    if (fd_ < 0) {
        fd_ = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            return errno == EINTR ? EWOULDBLOCK : errno;
        }
        struct stat info {};
        if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
            // Someone else's file in the folder: whoever may put one there
            // may as well hold it, so the folder is no place to write.
            close(fd_);
            fd_ = -1;
            return EACCES;
        }
        if ((info.st_mode & 07777) != 0600) {
            fchmod(fd_, 0600);  // the umask, or an older copy left readable
        }
    }
    if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        return errno == EINTR ? EWOULDBLOCK : errno;
    }
    // The holder before us removes the file on release; a lock on a file
    // that no longer has this name locks nothing, so start over on the new one.
    struct stat held {};
    struct stat named {};
    if (fstat(fd_, &held) == 0 && lstat(lockPath_.c_str(), &named) == 0 && SameFile(held, named)) {
        return 0;
    }
    close(fd_);
    fd_ = -1;
    return EWOULDBLOCK;
}

FileLock::~FileLock() {
    if (fd_ < 0) {
        return;
    }
    if (error_ == 0) {
        // Removed while still held, so a waiter never takes a lock on a file
        // that is gone (it checks the name after locking).
        unlink(lockPath_.c_str());
    }
    close(fd_);  // releases the lock
}

}  // namespace ww::platform
