#include "platform/win32/Win32Trace.h"

#include "platform/common/QuotedText.h"
#include "platform/win32/Win32Calls.h"

#include <cstdlib>

namespace ww::platform {
namespace {

std::string PathFromEnvironment() {
    const char* path = std::getenv("WAKEWATCH_TRACE");
    return path == nullptr ? std::string() : std::string(path);
}

}  // namespace

Win32Trace::Win32Trace() : Win32Trace(PathFromEnvironment()) {}

Win32Trace::Win32Trace(const std::string& path) : start_(GetTickCount()) {
    if (path.empty()) {
        return;
    }
    // Shared for reading and writing: the test reads while the program
    // writes, and a second instance appends to the same file.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        file_ = file;
    }
}

Win32Trace::~Win32Trace() {
    if (file_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(file_));
    }
}

void Win32Trace::Write(std::string_view event) {
    if (file_ == nullptr) {
        return;
    }
    std::string line = std::to_string(GetTickCount() - start_);
    line += ' ';
    line += event;
    line += '\n';
    // Windows 9x has no append mode: go to the end before each line, and
    // write the line in one call so that a reader never sees half of it.
    HANDLE file = static_cast<HANDLE>(file_);
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Win32Trace::Quote(std::string_view text) {
    return QuotedText(text);
}

}  // namespace ww::platform
