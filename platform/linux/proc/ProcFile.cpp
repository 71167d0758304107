#include "platform/linux/proc/ProcFile.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace ww::platform {

namespace {

constexpr std::size_t kFirstSize = 4096;
// Far beyond any real /proc/net/dev or /proc/meminfo; a file this big is not one.
constexpr std::size_t kLargestSize = 16u << 20;

}  // namespace

ProcFile::~ProcFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

ProcFile::Status ProcFile::Read() {
    size_ = 0;
    if (fd_ < 0) {
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return errno == ENOENT || errno == ENOTDIR ? Status::Missing : Status::Failed;
        }
    }
    if (buffer_.empty()) {
        buffer_.resize(kFirstSize);
    }
    std::size_t size = 0;
    for (;;) {
        if (size == buffer_.size()) {
            if (buffer_.size() >= kLargestSize) {
                return Status::Failed;
            }
            buffer_.resize(buffer_.size() * 2);
        }
        const ssize_t n =
            ::pread(fd_, buffer_.data() + size, buffer_.size() - size, static_cast<off_t>(size));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Start afresh next time, in case the descriptor went bad.
            ::close(fd_);
            fd_ = -1;
            return Status::Failed;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    size_ = size;
    return Status::Ok;
}

}  // namespace ww::platform
