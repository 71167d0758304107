#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace ww::platform {

// The program's event trace, read by the end-to-end tests. When
// WAKEWATCH_TRACE names a file, every event is appended to it at once as
// "<ms since start> <event>"; with the variable unset or empty nothing is
// written and Enabled() lets callers skip building the text.
class Trace {
  public:
    Trace();  // from WAKEWATCH_TRACE
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    bool Enabled() const { return fd_ >= 0; }

    // Appends one line; `event` carries no line break of its own.
    void Write(std::string_view event);

    // `text` in double quotes, with \ and " escaped and CR, LF as \r, \n.
    static std::string Quote(std::string_view text);

  private:
    int fd_ = -1;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace ww::platform
