#include "platform/linux/trace/Trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/common/QuotedText.h"

namespace ww::platform {
namespace {

std::string PathFromEnvironment() {
    const char* path = std::getenv("WAKEWATCH_TRACE");
    return path == nullptr ? std::string() : std::string(path);
}

}  // namespace

Trace::Trace() : Trace(PathFromEnvironment()) {}

Trace::Trace(const std::string& path) : start_(std::chrono::steady_clock::now()) {
    if (!path.empty()) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
}

Trace::~Trace() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Trace::Write(std::string_view event) {
    if (fd_ < 0) {
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    std::string line = std::to_string(elapsed.count());
    line += ' ';
    line += event;
    line += '\n';
    // One write per line: with O_APPEND a reader never sees half a line
    // from a single writer, and nothing waits in a buffer.
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string Trace::Quote(std::string_view text) {
    return QuotedText(text);
}

}  // namespace ww::platform
