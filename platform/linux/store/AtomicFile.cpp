#include "platform/linux/store/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>
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

std::string OwnerText(uid_t owner) {
    return "belongs to user " + std::to_string(owner) + ", and this program runs as user " +
           std::to_string(geteuid());
}

// The file `path` finally names, through any symbolic links (a link's
// relative target counts from the link's folder). The last name need not
// exist: a link to a file not made yet leads to where it will be. A link of
// another user is not followed: nothing, and the reason in `why`.
std::optional<std::string> FollowLinks(std::string path, std::string& why) {
    constexpr int kMaxLinks = 40;  // as the kernel allows
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        if (info.st_uid != geteuid()) {
            why = "the link " + path + " " + OwnerText(info.st_uid);
            return std::nullopt;
        }
        std::vector<char> link(static_cast<std::size_t>(info.st_size) + 2);
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) {
            return path;  // changed meanwhile: the rename then replaces the link
        }
        const std::string target(link.data(), static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    return path;
}

// Whether `name` is `prefix` and the six characters mkostemp adds.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    constexpr std::size_t kRandom = 6;
    if (name.size() != prefix.size() + kRandom || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void RemoveLeftovers(const std::string& directory, std::string_view prefix) {
    DIR* folder = opendir(directory.c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(folder)) {
        struct stat info {};
        if (IsTemporaryName(entry->d_name, prefix) &&
            fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            unlinkat(dirfd(folder), entry->d_name, 0);
        }
    }
    closedir(folder);
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
    const auto cut = path.rfind('/');
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : path.substr(0, cut);
}

std::optional<std::string> WhyNotOwnFolder(const std::string& folder) {
    struct stat link {};
    if (lstat(folder.c_str(), &link) != 0) {
        return std::nullopt;
    }
    if (S_ISLNK(link.st_mode) && link.st_uid != geteuid()) {
        return "the link " + folder + " " + OwnerText(link.st_uid);
    }
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0 && info.st_uid != geteuid()) {
        return "the folder " + folder + " " + OwnerText(info.st_uid);
    }
    return std::nullopt;
}

bool IsRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

FileContent ReadWholeFile(const std::string& path) {
    FileContent content;
    // Without O_NONBLOCK, opening a FIFO waits for a writer that never comes.
    const int fd = Retry([&] { return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) {
        content.error = errno == ENOENT ? 0 : errno;
        return content;
    }
    content.exists = true;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        content.error = errno;
    } else if (!S_ISREG(info.st_mode)) {
        content.unfit = "not a regular file";
    } else if (static_cast<std::size_t>(info.st_size) > kMaxFileSize) {
        content.unfit = "larger than 1 MiB";
    }
    char buffer[8192];
    while (content.error == 0 && content.unfit.empty()) {
        const ssize_t got = Retry([&] { return read(fd, buffer, sizeof buffer); });
        if (got < 0) {
            content.error = errno;
        } else if (got == 0) {
            break;
        } else if (content.text.size() + static_cast<std::size_t>(got) > kMaxFileSize) {
            content.unfit = "larger than 1 MiB";  // grew while being read
        } else {
            content.text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    if (!content.unfit.empty()) {
        content.error = EINVAL;
        content.text.clear();
    }
    return content;
}

int MakeDirectories(const std::string& directory, mode_t mode, std::string* why) {
    struct stat info {};
    if (stat(directory.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    }
    if (errno != ENOENT) {
        return errno;
    }
    const std::string parent = DirectoryOf(directory);
    if (parent != directory) {
        if (const int error = MakeDirectories(parent, mode, why)) {
            return error;
        }
    }
    if (const auto refusal = WhyNotOwnFolder(parent)) {
        if (why != nullptr) {
            *why = *refusal;
        }
        return EACCES;
    }
    if (mkdir(directory.c_str(), mode) != 0) {
        return errno == EEXIST ? 0 : errno;
    }
    // mkdir takes the umask off; a folder every user reads must not come
    // out private because the one who made it keeps a tight umask.
    return chmod(directory.c_str(), mode) == 0 ? 0 : errno;
}

int ReplaceFile(const std::string& path, std::string_view text, mode_t mode, std::string* why) {
    std::string refusal;
    const std::optional<std::string> followed = FollowLinks(path, refusal);
    const std::string target = followed.value_or(path);
    const std::string directory = DirectoryOf(target);
    struct stat existing {};
    const bool exists = lstat(target.c_str(), &existing) == 0;
    if (!followed) {
        // refusal says why
    } else if (exists && existing.st_uid != geteuid()) {
        refusal = "the file " + target + " " + OwnerText(existing.st_uid);
    } else if (const auto folder = WhyNotOwnFolder(directory)) {
        refusal = *folder;
    }
    if (!refusal.empty()) {
        if (why != nullptr) {
            *why = refusal;
        }
        return EACCES;
    }
    if (exists) {
        mode = existing.st_mode & 07777;
    }
    const std::string prefix = "." + target.substr(target.rfind('/') + 1) + ".";
    std::string name = directory + "/" + prefix + "XXXXXX";
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
    if (error == 0 && rename(temporary.data(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.data());
        return error;
    }
    RemoveLeftovers(directory, prefix);
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
