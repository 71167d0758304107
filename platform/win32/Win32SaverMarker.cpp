#include "platform/win32/Win32SaverMarker.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

constexpr const char* kValue = "SwitchedOffBy";

bool Runs(DWORD processId) {
    if (processId == ::GetCurrentProcessId()) {
        return true;
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        // No such process, or one we may not look at: only the latter runs.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) != FALSE && code == STILL_ACTIVE;
    ::CloseHandle(process);
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
    const bool written =
        ::RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&processId),
                         sizeof processId) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

void Win32SaverMarker::Clear() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        return;
    }
    ::RegDeleteValueA(key, kValue);
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
    ::RegCloseKey(key);
    if (!read || Runs(processId)) {
        return std::nullopt;
    }
    return processId;
}

}  // namespace ww::platform
