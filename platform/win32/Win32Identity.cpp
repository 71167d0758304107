#include "platform/win32/Win32Identity.h"

#include <cstring>
#include <string>

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {

static_assert(sizeof(OSVERSIONINFOA) == sizeof(OsVersionInfo));

bool Win32Identity::GetVersionExA(OsVersionInfo& info) {
    if (info.dwOSVersionInfoSize != sizeof(OsVersionInfo)) {
        return false;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExA(&version)) {
        return false;
    }
    info.dwMajorVersion = version.dwMajorVersion;
    info.dwMinorVersion = version.dwMinorVersion;
    info.dwBuildNumber = version.dwBuildNumber;
    info.dwPlatformId = version.dwPlatformId;
    std::memcpy(info.szCSDVersion, version.szCSDVersion, sizeof info.szCSDVersion);
    return true;
}

bool Win32Identity::GetComputerNameA(char* buffer, std::uint32_t& size) {
    if (buffer == nullptr) {
        return false;
    }
    char name[kComputerNameBufferSize] = {};
    DWORD length = sizeof name;
    if (!::GetComputerNameA(name, &length) || length >= sizeof name) {
        return false;
    }
    const std::string text = FromSystemCodePage(std::string_view(name, length));
    if (text.size() + 1 > size) {
        size = static_cast<std::uint32_t>(text.size() + 1);
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    size = static_cast<std::uint32_t>(text.size());
    return true;
}

}  // namespace ww::platform
