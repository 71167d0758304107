#include "platform/win32/Win32Clock.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {

bool Win32Clock::QueryPerformanceCounter(std::int64_t& count) {
    LARGE_INTEGER value{};
    if (!::QueryPerformanceCounter(&value)) {
        return false;
    }
    count = value.QuadPart;
    return true;
}

bool Win32Clock::QueryPerformanceFrequency(std::int64_t& frequency) {
    LARGE_INTEGER value{};
    const bool ok = ::QueryPerformanceFrequency(&value) != FALSE;
    frequency = value.QuadPart;  // 0 when the system has no such counter
    return ok;
}

std::uint32_t Win32Clock::GetTickCount() {
    return ::GetTickCount();
}

LocalTime Win32Clock::Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace ww::platform
