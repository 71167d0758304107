// The least any tray monitor of network activity does every 400 ms: wake up
// and read the interface counters. What it costs idle is the machine's floor
// for waking that often, without any toolkit.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <thread>

int main() {
    const int fd = open("/proc/net/dev", O_RDONLY | O_CLOEXEC);
    std::array<char, 4096> buffer{};
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        if (fd >= 0) {
            off_t offset = 0;
            ssize_t n = 0;
            while ((n = pread(fd, buffer.data(), buffer.size(), offset)) > 0) {
                offset += n;
            }
        }
    }
}
