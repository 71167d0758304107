#include "platform/win32/Win32Memory.h"

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// The record as the system lays it out; the port's twin has the same bytes.
struct SystemMemoryStatusEx {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};
static_assert(sizeof(SystemMemoryStatusEx) == sizeof(MemoryStatusEx));
static_assert(sizeof(MEMORYSTATUS) == sizeof(MemoryStatus));

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(SystemMemoryStatusEx*);
using SetProcessWorkingSetSizeFn = BOOL(WINAPI*)(HANDLE, SIZE_T, SIZE_T);

HMODULE Kernel32() {
    return ::GetModuleHandleA("kernel32.dll");
}

}  // namespace

bool Win32Memory::GlobalMemoryStatusEx(MemoryStatusEx& status) {
    static const auto call = LookUp<GlobalMemoryStatusExFn>(Kernel32(), "GlobalMemoryStatusEx");
    if (call == nullptr || status.dwLength != sizeof(MemoryStatusEx)) {
        return false;
    }
    SystemMemoryStatusEx system{};
    system.dwLength = sizeof system;
    if (!call(&system)) {
        return false;
    }
    status.dwMemoryLoad = system.dwMemoryLoad;
    status.ullTotalPhys = system.ullTotalPhys;
    status.ullAvailPhys = system.ullAvailPhys;
    status.ullTotalPageFile = system.ullTotalPageFile;
    status.ullAvailPageFile = system.ullAvailPageFile;
    status.ullTotalVirtual = system.ullTotalVirtual;
    status.ullAvailVirtual = system.ullAvailVirtual;
    status.ullAvailExtendedVirtual = system.ullAvailExtendedVirtual;
    return true;
}

void Win32Memory::GlobalMemoryStatus(MemoryStatus& status) {
    MEMORYSTATUS system{};
    system.dwLength = sizeof system;
    ::GlobalMemoryStatus(&system);
    status.dwMemoryLoad = system.dwMemoryLoad;
    status.dwTotalPhys = static_cast<std::uint32_t>(system.dwTotalPhys);
    status.dwAvailPhys = static_cast<std::uint32_t>(system.dwAvailPhys);
    status.dwTotalPageFile = static_cast<std::uint32_t>(system.dwTotalPageFile);
    status.dwAvailPageFile = static_cast<std::uint32_t>(system.dwAvailPageFile);
    status.dwTotalVirtual = static_cast<std::uint32_t>(system.dwTotalVirtual);
    status.dwAvailVirtual = static_cast<std::uint32_t>(system.dwAvailVirtual);
}

std::uint32_t Win32Memory::GetCurrentProcessId() {
    return ::GetCurrentProcessId();
}

Handle Win32Memory::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) {
    return FromWin(::OpenProcess(access, inherit ? TRUE : FALSE, processId));
}

bool Win32Memory::SetProcessWorkingSetSize(Handle process, std::intptr_t minimum,
                                           std::intptr_t maximum) {
    static const auto call =
        LookUp<SetProcessWorkingSetSizeFn>(Kernel32(), "SetProcessWorkingSetSize");
    if (call == nullptr) {
        return false;
    }
    // -1 becomes the all-ones size, which asks for every page that can go.
    return call(ToWin<HANDLE>(process), static_cast<SIZE_T>(minimum),
                static_cast<SIZE_T>(maximum)) != FALSE;
}

bool Win32Memory::CloseHandle(Handle handle) {
    return ::CloseHandle(ToWin<HANDLE>(handle)) != FALSE;
}

}  // namespace ww::platform
