#include "platform/win32/Win32Instance.h"

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {

std::string Win32Instance::DefaultMarker() {
    // A user name has no "\", which a plain object name must not contain.
    char user[257] = {};
    DWORD length = sizeof user;
    std::string marker = "Wakewatch.Instance.";
    if (::GetUserNameA(user, &length)) {
        marker += user;
    }
    return marker;
}

Win32Instance::Win32Instance(std::string marker) : marker_(std::move(marker)) {}

Win32Instance::~Win32Instance() {
    for (void* mutex : mutexes_) {
        ::CloseHandle(mutex);
    }
    if (held_ != nullptr) {
        ::CloseHandle(held_);
    }
}

bool Win32Instance::PrevInstance() {
    if (held_ != nullptr) {
        return false;  // this process is the instance
    }
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, marker_.c_str());
    if (mutex == nullptr) {
        return false;  // nothing says another copy runs
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return true;
    }
    held_ = mutex;
    return false;
}

Handle Win32Instance::CreateMutexA(bool initialOwner, std::string_view name) {
    const std::string ansi = ToSystemCodePage(name);
    HANDLE mutex = ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, ansi.c_str());
    if (mutex == nullptr) {
        return 0;
    }
    // Kept for the caller, who may still ask GetLastError whether it existed.
    const DWORD error = ::GetLastError();
    mutexes_.push_back(mutex);
    ::SetLastError(error);
    return FromWin(mutex);
}

}  // namespace ww::platform
