#include "platform/linux/system/LinuxIdentity.h"

#include <limits.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace ww::platform {
namespace {

constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kLowestNtMajor = 5;

// Reads the decimal number at `pos` and moves past it and one following '.'.
std::uint32_t NextNumber(std::string_view text, std::size_t& pos) {
    std::uint32_t value = 0;
    bool any = false;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10U + static_cast<std::uint32_t>(text[pos] - '0');
        ++pos;
        any = true;
    }
    if (any && pos < text.size() && text[pos] == '.') {
        ++pos;
        return value;
    }
    pos = text.size();  // the numbers end here
    return value;
}

}  // namespace

KernelRelease ParseKernelRelease(std::string_view release) {
    KernelRelease parsed;
    std::size_t pos = 0;
    parsed.major = NextNumber(release, pos);
    parsed.minor = NextNumber(release, pos);
    parsed.patch = NextNumber(release, pos);
    return parsed;
}

bool LinuxIdentity::GetVersionExA(OsVersionInfo& info) {
    if (info.dwOSVersionInfoSize != sizeof(OsVersionInfo)) {
        return false;
    }
    utsname names{};
    if (uname(&names) != 0) {
        return false;
    }
    const KernelRelease kernel = ParseKernelRelease(names.release);
    info.dwMajorVersion = std::max(kLowestNtMajor, kernel.major);
    info.dwMinorVersion = kernel.minor;
    info.dwBuildNumber = kernel.patch;
    info.dwPlatformId = kPlatformNt;
    info.szCSDVersion[0] = '\0';
    return true;
}

bool LinuxIdentity::GetComputerNameA(char* buffer, std::uint32_t& size) {
    char name[HOST_NAME_MAX + 1] = {};
    if (buffer == nullptr || gethostname(name, sizeof name - 1) != 0) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    if (length + 1 > size) {
        size = static_cast<std::uint32_t>(length + 1);  // what the caller would need
        return false;
    }
    std::memcpy(buffer, name, length + 1);
    size = static_cast<std::uint32_t>(length);
    return true;
}

}  // namespace ww::platform
