#include "platform/sim/SimSystemIdentity.h"

#include <cstring>

namespace ww::platform {

SimSystemIdentity::SimSystemIdentity(SimLog& log) : log_(log) {
    version_.dwOSVersionInfoSize = sizeof(OsVersionInfo);
    SetPlatform(2, 5, 1);
    version_.dwBuildNumber = 2600;
}

void SimSystemIdentity::SetPlatform(std::uint32_t platformId, std::uint32_t major,
                                    std::uint32_t minor) {
    version_.dwPlatformId = platformId;
    version_.dwMajorVersion = major;
    version_.dwMinorVersion = minor;
}

bool SimSystemIdentity::GetVersionExA(OsVersionInfo& info) {
    log_.Add("GetVersionExA");
    if (versionFails_ || info.dwOSVersionInfoSize != sizeof(OsVersionInfo)) {
        return false;
    }
    const std::uint32_t size = info.dwOSVersionInfoSize;
    info = version_;
    info.dwOSVersionInfoSize = size;
    return true;
}

bool SimSystemIdentity::GetComputerNameA(char* buffer, std::uint32_t& size) {
    log_.Add("GetComputerNameA(" + std::to_string(size) + ")");
    if (nameFails_) {
        return false;
    }
    if (buffer == nullptr || name_.size() + 1 > size) {
        size = static_cast<std::uint32_t>(name_.size() + 1);
        return false;
    }
    std::memcpy(buffer, name_.data(), name_.size());
    buffer[name_.size()] = '\0';
    size = static_cast<std::uint32_t>(name_.size());
    return true;
}

}  // namespace ww::platform
