#include "platform/linux/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace ww::platform {
namespace {

// Runs `call` again while a signal interrupts it.
template <typename Call>
auto Retry(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

int SyncDirectory(const std::string& directory) {
    const int fd =
        Retry([&] { return open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) {
        return errno;
    }
    const int result = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return result;
}

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = Retry([&] { return write(fd, text.data(), text.size()); });
        if (written < 0) {
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : path.substr(0, cut);
}

bool IsRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

FileContent ReadWholeFile(const std::string& path) {
    FileContent content;
    const int fd = Retry([&] { return open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0) {
        content.error = errno == ENOENT ? 0 : errno;
        return content;
    }
    content.exists = true;
    char buffer[8192];
    while (true) {
        const ssize_t got = Retry([&] { return read(fd, buffer, sizeof buffer); });
        if (got < 0) {
            content.error = errno;
            break;
        }
        if (got == 0) {
            break;
        }
        content.text.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    return content;
}

int MakeDirectories(const std::string& directory, mode_t mode) {
    struct stat info {};
    if (stat(directory.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    }
    if (errno != ENOENT) {
        return errno;
    }
    const std::string parent = DirectoryOf(directory);
    if (parent != directory) {
        if (const int error = MakeDirectories(parent, mode)) {
            return error;
        }
    }
    if (mkdir(directory.c_str(), mode) != 0) {
        return errno == EEXIST ? 0 : errno;
    }
    // mkdir takes the umask off; a folder every user reads must not come
    // out private because the one who made it keeps a tight umask.
    return chmod(directory.c_str(), mode) == 0 ? 0 : errno;
}

int ReplaceFile(const std::string& path, std::string_view text, mode_t mode) {
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }
    const std::string directory = DirectoryOf(path);
    std::string name = directory + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
    std::vector<char> temporary(name.begin(), name.end());
    temporary.push_back('\0');
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = WriteAll(fd, text);
    if (error == 0 && fchmod(fd, mode) != 0) {
        error = errno;
    }
    if (error == 0 && fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(temporary.data(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.data());
        return error;
    }
    // The rename itself reaches the disk only with its directory.
    SyncDirectory(directory);
    return 0;
}

int RemoveFile(const std::string& path) {
    if (unlink(path.c_str()) != 0) {
        return errno;
    }
    SyncDirectory(DirectoryOf(path));
    return 0;
}

}  // namespace ww::platform
