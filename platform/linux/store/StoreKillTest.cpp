// Settings must survive the program being killed at any moment of a write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "platform/linux/store/LinuxRegistry.h"
#include "platform/linux/store/StoreTestSupport.h"

namespace ww::platform {
namespace {

constexpr const char* kKey = "Software\\Wakewatch\\KillTest";
constexpr int kKills = 100;

std::int32_t SetNumber(Registry& registry, const std::string& name, std::uint32_t value) {
    HKey key = 0;
    std::int32_t result = registry.RegCreateKeyA(kHkeyCurrentUser, kKey, key);
    if (result == winerr::kSuccess) {
        const std::uint8_t data[4] = {
            static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        result = registry.RegSetValueExA(key, name, regtype::kDword, data, 4);
        registry.RegCloseKey(key);
    }
    return result;
}

// The value's number, or -1 when it cannot be read.
std::int64_t GetNumber(Registry& registry, const std::string& name) {
    HKey key = 0;
    if (registry.RegOpenKeyA(kHkeyCurrentUser, kKey, key) != winerr::kSuccess) {
        return -1;
    }
    std::uint8_t data[4] = {};
    std::uint32_t size = 4;
    std::uint32_t type = 0;
    const std::int32_t result = registry.RegQueryValueExA(key, name, &type, data, &size);
    registry.RegCloseKey(key);
    if (result != winerr::kSuccess || type != regtype::kDword || size != 4) {
        return -1;
    }
    return data[0] | data[1] << 8 | data[2] << 16 | std::int64_t{data[3]} << 24;
}

// In a child: writes v<first>, v<first+1>, ... one by one, reporting each
// number on `report` once its write has returned, until killed.
[[noreturn]] void WriteForever(const StorePaths& paths, std::uint32_t first, int report) {
    std::ostringstream quiet;
    LinuxRegistry registry(paths, quiet);
    for (std::uint32_t i = first;; ++i) {
        if (SetNumber(registry, "v" + std::to_string(i), i * 7) != winerr::kSuccess) {
            _exit(3);
        }
        if (write(report, &i, sizeof i) != sizeof i) {
            _exit(4);
        }
    }
}

TEST(StoreKillTest, EveryFinishedWriteSurvivesSigkillMidWrite) {
    test::StoreSandbox sandbox;
    const StorePaths paths = sandbox.paths();
    std::uint32_t written = 0;  // v0 .. v(written-1) were reported done
    for (int round = 0; round < kKills; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            WriteForever(paths, written, pipeFds[1]);
        }
        close(pipeFds[1]);
        // Let a different number of writes finish each round; the kill then
        // lands somewhere inside the next one.
        const int wait = 1 + round % 4;
        for (int n = 0; n < wait; ++n) {
            std::uint32_t done = 0;
            ASSERT_EQ(read(pipeFds[0], &done, sizeof done), static_cast<ssize_t>(sizeof done))
                << "the writer stopped on its own in round " << round;
            written = done + 1;
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        // Reports sent just before the kill still count: those writes had returned.
        for (std::uint32_t done = 0; read(pipeFds[0], &done, sizeof done) == sizeof done;) {
            written = done + 1;
        }
        close(pipeFds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed in round " << round;

        // The file still parses and holds the newest value...
        std::ostringstream diagnostics;
        LinuxRegistry reader(paths, diagnostics);
        ASSERT_EQ(GetNumber(reader, "v" + std::to_string(written - 1)),
                  std::int64_t{written - 1} * 7)
            << "after kill " << round + 1 << ": " << diagnostics.str();
        // ...and every older one (read from the text: one parse per value
        // would make the test quadratic).
        const std::string text = test::ReadText(paths.userFile);
        for (std::uint32_t i = 0; i + 1 < written; ++i) {
            char line[40];
            std::snprintf(line, sizeof line, "\"v%u\"=dword:%08x\n", i, i * 7);
            ASSERT_NE(text.find(line), std::string::npos)
                << line << " lost after kill " << round + 1;
        }
    }
}

}  // namespace
}  // namespace ww::platform
