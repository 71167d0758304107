#pragma once

#include <string>
#include <string_view>

namespace ww::platform {

// The program's event trace, read by the end-to-end tests: the same lines
// as the Linux program writes. When WAKEWATCH_TRACE names a file (a Windows
// path, Z:\... under Wine), every event is appended to it at once as
// "<ms since start> <event>"; otherwise nothing is written.
class Win32Trace {
  public:
    Win32Trace();  // from WAKEWATCH_TRACE
    explicit Win32Trace(const std::string& path);
    ~Win32Trace();
    Win32Trace(const Win32Trace&) = delete;
    Win32Trace& operator=(const Win32Trace&) = delete;

    bool Enabled() const { return file_ != nullptr; }

    // Appends one line; `event` carries no line break of its own.
    void Write(std::string_view event);

    // `text` in double quotes, with \ and " escaped and CR, LF as \r, \n.
    static std::string Quote(std::string_view text);

  private:
    void* file_ = nullptr;  // the file's HANDLE; windows.h stays out of this header
    unsigned long start_ = 0;
};

}  // namespace ww::platform
