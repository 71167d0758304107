#pragma once

// windows.h for the backend, with nothing the backend does not need, and the
// conversions between the ports' 32-bit handles and the Windows ones.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>

namespace ww::platform {

// A Windows handle type (HKEY, HANDLE, HWND...) from a port's 32-bit value.
template <class WinHandle>
WinHandle ToWin(std::uint32_t value) {
    return reinterpret_cast<WinHandle>(static_cast<std::uintptr_t>(value));
}

// A port's 32-bit value from a Windows handle; handles are 32-bit on the
// systems this backend is built for.
template <class WinHandle>
std::uint32_t FromWin(WinHandle handle) {
    static_assert(sizeof(WinHandle) == sizeof(std::uint32_t), "a 32-bit build");
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// A function that older systems may lack, looked up when it is needed so that
// the program's import table names only what Windows 95 and NT 4 export.
// Null when `module` is not loaded or does not export `name`.
template <class Function>
Function LookUp(HMODULE module, const char* name) {
    if (module == nullptr) {
        return nullptr;
    }
    // Through void(*)(), the one function pointer type every other converts from quietly.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace ww::platform
