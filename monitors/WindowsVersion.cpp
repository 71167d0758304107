#include "monitors/WindowsVersion.h"

#include <array>
#include <string>

namespace ww::monitors {

void DetectWindowsVersion(platform::SystemIdentity& identity, ComputerIdentity& computer) {
    platform::OsVersionInfo info;
    info.dwOSVersionInfoSize = sizeof(platform::OsVersionInfo);
    identity.GetVersionExA(info);  // a failed call leaves the zeroed record
    computer.OSPlatformId = static_cast<std::int32_t>(info.dwPlatformId);
    if ((info.dwPlatformId == 2 && info.dwMajorVersion >= 5) || info.dwPlatformId > 2) {
        computer.IsNT5OrLater = true;
    }
}

std::string GetComputerNameText(platform::SystemIdentity& identity) {
    std::array<char, platform::kComputerNameBufferSize> buffer{};
    std::uint32_t length = platform::kComputerNameBufferSize;
    if (!identity.GetComputerNameA(buffer.data(), length)) {
        return {};
    }
    // The reported length excludes the NUL; a length of 0 or beyond the
    // buffer is an answer we cannot use, which gives the empty name.
    if (length == 0 || length > buffer.size()) {
        return {};
    }
    const std::size_t n = length;
    return std::string(buffer.data(), buffer[n - 1] == '\0' ? n - 1 : n);
}

}  // namespace ww::monitors
