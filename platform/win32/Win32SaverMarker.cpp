#include "platform/win32/Win32SaverMarker.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

constexpr const char* kValue = "SwitchedOffBy";
// When that process started (a FILETIME): ids are used again once their
// process has ended, and a later process with the same id is not the run
// that left the marker. Absent where the system does not tell (95/98/Me).
constexpr const char* kStartedValue = "SwitchedOffByStarted";

std::optional<std::uint64_t> StartOf(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (::GetProcessTimes(process, &created, &exited, &kernel, &user) == FALSE) {
        return std::nullopt;
    }
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the run that wrote the marker still runs: a process with its id
// that started when it did (when both start times are known).
bool Runs(DWORD processId, std::optional<std::uint64_t> started) {
    HANDLE process = processId == ::GetCurrentProcessId()
                         ? ::GetCurrentProcess()
                         : ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        // No such process, or one we may not look at: only the latter runs.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    bool running = ::GetExitCodeProcess(process, &code) != FALSE && code == STILL_ACTIVE;
    if (running && started) {
        const std::optional<std::uint64_t> start = StartOf(process);
        running = !start || *start == *started;
    }
    if (process != ::GetCurrentProcess()) {
        ::CloseHandle(process);
    }
    return running;
}

}  // namespace

bool Win32SaverMarker::Write() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD processId = ::GetCurrentProcessId();
    bool written =
        ::RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&processId),
                         sizeof processId) == ERROR_SUCCESS;
    if (const std::optional<std::uint64_t> started = StartOf(::GetCurrentProcess())) {
        written = written && ::RegSetValueExA(key, kStartedValue, 0, REG_BINARY,
                                              reinterpret_cast<const BYTE*>(&*started),
                                              sizeof *started) == ERROR_SUCCESS;
    } else {
        ::RegDeleteValueA(key, kStartedValue);
    }
    ::RegCloseKey(key);
    return written;
}

void Win32SaverMarker::Clear() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return;
    }
    ::RegDeleteValueA(key, kValue);
    ::RegDeleteValueA(key, kStartedValue);
    ::RegCloseKey(key);
}

std::optional<std::uint32_t> Win32SaverMarker::LeftByEndedRun() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD processId = 0;
    DWORD size = sizeof processId;
    const bool read =
        ::RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&processId),
                           &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof processId;
    std::uint64_t start = 0;
    DWORD startSize = sizeof start;
    std::optional<std::uint64_t> started;
    if (::RegQueryValueExA(key, kStartedValue, nullptr, &type, reinterpret_cast<BYTE*>(&start),
                           &startSize) == ERROR_SUCCESS &&
        type == REG_BINARY && startSize == sizeof start) {
        started = start;
    }
    ::RegCloseKey(key);
    if (!read || Runs(processId, started)) {
        return std::nullopt;
    }
    return processId;
}

}  // namespace ww::platform
