#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ww::platform {

// A small kernel text file (/proc/...) read whole, again and again. The file
// stays open between reads and each read starts over from offset 0 with
// pread, which the kernel answers with fresh content; that costs about half
// of an open-read-close. The buffer is kept too, so after the first read
// nothing is allocated unless the file grows.
class ProcFile {
  public:
    enum class Status { Ok, Missing, Failed };

    explicit ProcFile(std::string path) : path_(std::move(path)) {}
    ~ProcFile();
    ProcFile(const ProcFile&) = delete;
    ProcFile& operator=(const ProcFile&) = delete;

    // Reads the whole file. Missing: it does not exist (opening is retried on
    // the next read). Failed: it could not be opened or read. Text() holds
    // the content only after Ok.
    Status Read();

    std::string_view Text() const { return {buffer_.data(), size_}; }

  private:
    std::string path_;
    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t size_ = 0;
};

}  // namespace ww::platform
