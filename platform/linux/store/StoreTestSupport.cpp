#include "platform/linux/store/StoreTestSupport.h"

#include <dirent.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ww::platform::test {
namespace {

constexpr uid_t kNobody = 65534;

void ChangeModes(const std::string& folder, mode_t mode) {
    std::error_code ignored;
    std::filesystem::permissions(folder, static_cast<std::filesystem::perms>(mode), ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored)) {
        if (entry.is_directory()) {
            std::filesystem::permissions(entry.path(), static_cast<std::filesystem::perms>(mode),
                                         ignored);
        }
    }
}

}  // namespace

StoreSandbox::StoreSandbox() {
    // Memory-backed when possible: the tests write often and each write
    // waits for the disk.
    std::error_code ignored;
    const bool shm =
        std::filesystem::is_directory("/dev/shm", ignored) && access("/dev/shm", W_OK) == 0;
    std::string pattern =
        (shm ? std::string("/dev/shm") : std::filesystem::temp_directory_path().string()) +
        "/ww-store-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    chmod(root_.c_str(), 0755);
    std::filesystem::create_directories(root_ + "/home");
    std::filesystem::create_directories(configDir());
}

StoreSandbox::~StoreSandbox() {
    ChangeModes(root_, 0755);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

StorePaths StoreSandbox::paths() const {
    const std::map<std::string, std::string> environment = {
        {"XDG_CONFIG_HOME", configHome()}, {"XDG_CONFIG_DIRS", configDir() + ":/etc/xdg"}};
    return StorePaths::FromEnvironment([&](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

int StoreSandbox::AsOrdinaryUser(const std::function<int()>& body,
                                 std::chrono::milliseconds limit) {
    if (geteuid() != 0) {
        ChangeModes(configDir(), 0555);
        Child child(body);
        const int result = child.JoinWithin(limit);
        ChangeModes(configDir(), 0755);
        return result;
    }
    // The user's side must belong to the user the child becomes, and
    // afterwards to this one again: this process writes only its own folders.
    const auto give = [&](uid_t user, gid_t group) {
        std::error_code ignored;
        lchown((root_ + "/home").c_str(), user, group);
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(root_ + "/home", ignored)) {
            lchown(entry.path().c_str(), user, group);
        }
    };
    give(kNobody, kNobody);
    Child child([&] { return BecomeAnotherUser() ? body() : 255; });
    const int result = child.JoinWithin(limit);
    give(geteuid(), getegid());
    return result;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool BecomeAnotherUser() {
    return geteuid() == 0 && setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 &&
           setuid(kNobody) == 0;
}

Child::Child(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) {
        // No exit handlers: the child must not run the parent's test teardown.
        _exit(body());
    }
}

int Child::Join() {
    int status = 0;
    if (pid_ < 0 || waitpid(pid_, &status, 0) != pid_ || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

int Child::JoinWithin(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (pid_ >= 0) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        usleep(10000);
    }
    Kill();
    return -2;
}

void Child::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

}  // namespace ww::platform::test
