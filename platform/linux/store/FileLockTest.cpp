// No other user, and no stuck process of this user, can hold up a write.
#include "platform/linux/store/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/store/AtomicFile.h"
#include "platform/linux/store/LinuxRegistry.h"
#include "platform/linux/store/StoreTestSupport.h"

namespace ww::platform {
namespace {

using namespace std::chrono_literals;

constexpr const char* kSettings = "Software\\Wakewatch\\Settings";
constexpr const char* kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Owned by root in every folder above it, so it may start for all users.
constexpr const char* kTrustedProgram = "/usr/bin/env";

std::int32_t Set(Registry& registry, HKey root, const char* key, const std::string& name,
                 std::uint32_t type, const std::string& data) {
    HKey opened = 0;
    std::int32_t result = registry.RegCreateKeyA(root, key, opened);
    if (result == winerr::kSuccess) {
        result = registry.RegSetValueExA(opened, name, type,
                                         reinterpret_cast<const std::uint8_t*>(data.data()),
                                         static_cast<std::uint32_t>(data.size()));
        registry.RegCloseKey(opened);
    }
    return result;
}

std::int32_t SetNumber(Registry& registry, HKey root, std::uint8_t number) {
    return Set(registry, root, kSettings, "HotCorners", regtype::kDword,
               std::string{static_cast<char>(number), 0, 0, 0});
}

// Every kind of write the program makes; the number of the first that
// failed, or 0.
int WriteEverything(const StorePaths& paths) {
    std::ostringstream quiet;
    LinuxRegistry registry(paths, quiet);
    const std::vector<std::function<std::int32_t()>> writes = {
        [&] { return SetNumber(registry, kHkeyCurrentUser, 1); },
        [&] { return SetNumber(registry, kHkeyLocalMachine, 1); },
        [&] { return Set(registry, kHkeyCurrentUser, kRun, "Wakewatch", regtype::kSz, "/bin/ww"); },
        [&] {
            return Set(registry, kHkeyLocalMachine, kRun, "Wakewatch", regtype::kSz,
                       kTrustedProgram);
        },
        [&] {
            HKey run = 0;
            std::int32_t result = registry.RegOpenKeyA(kHkeyCurrentUser, kRun, run);
            if (result == winerr::kSuccess) {
                result = registry.RegDeleteValueA(run, "Wakewatch");
                registry.RegCloseKey(run);
            }
            return result;
        },
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (writes[i]() != winerr::kSuccess) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

TEST(FileLock, NoOtherUserCanHoldUpAWriteAndOurOwnHolderOnlyForAMoment) {
    test::StoreSandbox sandbox;
    const StorePaths paths = sandbox.paths();
    const std::vector<std::string> folders = {
        DirectoryOf(paths.userFile), DirectoryOf(paths.userAutostart),
        DirectoryOf(paths.machineFile), DirectoryOf(paths.machineAutostart)};
    for (const auto& folder : folders) {
        ASSERT_EQ(MakeDirectories(folder, 0755), 0);
    }

    // Another user (this one when not root) locks every folder, and every
    // lock file it manages to open, for as long as it lives.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    test::Child neighbour([&] {
        test::BecomeAnotherUser();
        for (const auto& folder : folders) {
            for (const std::string& target :
                 {folder, folder + "/.user.reg.lock", folder + "/.machine.reg.lock",
                  folder + "/.Wakewatch.desktop.lock"}) {
                const int fd = open(target.c_str(), O_RDONLY);
                if (fd >= 0) {
                    flock(fd, LOCK_EX);
                }
            }
        }
        const char byte = 1;
        (void)!write(ready[1], &byte, 1);
        pause();
        return 0;
    });
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    test::Child writer([&] { return WriteEverything(paths); });
    EXPECT_EQ(writer.JoinWithin(3s), 0) << "a write failed or waited on the neighbour's lock";

    // A user who may not write the system's folder writes the own copy at
    // once, even while that folder and its files are locked.
    const int ordinary = sandbox.AsOrdinaryUser(
        [&] {
            std::ostringstream quiet;
            LinuxRegistry registry(paths, quiet);
            return SetNumber(registry, kHkeyLocalMachine, 0);
        },
        1s);
    EXPECT_EQ(ordinary, 0);
    neighbour.Kill();

    // One of this user's own processes stuck while holding the lock costs
    // a write about two seconds and its result, no more.
    const std::string lockPath = FileLock::LockPathOf(paths.userFile);
    const int held = open(lockPath.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    std::ostringstream quiet;
    LinuxRegistry registry(paths, quiet);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SetNumber(registry, kHkeyCurrentUser, 0), kErrorWriteFault);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 1500ms);
    EXPECT_LE(waited, 3s);
    close(held);
    // The next writer takes the leftover lock file over, makes it private
    // and removes it when done.
    struct stat info {};
    EXPECT_EQ(SetNumber(registry, kHkeyCurrentUser, 0), winerr::kSuccess);
    EXPECT_NE(lstat(lockPath.c_str(), &info), 0);
    EXPECT_EQ(test::ListFolder(DirectoryOf(paths.userFile)),
              (std::vector<std::string>{"machine.reg", "user.reg"}));
}

}  // namespace
}  // namespace ww::platform
