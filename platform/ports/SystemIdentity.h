#pragma once

#include <cstdint>

namespace ww::platform {

// OSVERSIONINFOA, the 148-byte record GetVersionExA fills.
struct OsVersionInfo {
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;  // 1 = 95/98/Me family, 2 = NT family
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148);

inline constexpr std::uint32_t kComputerNameBufferSize = 256;

// Who this machine is: its Windows version identity and its name.
class SystemIdentity {
  public:
    virtual ~SystemIdentity() = default;

    // GetVersionExA: the caller sets dwOSVersionInfoSize = 148 and zeroes the
    // rest; on success (true) the record is filled. On failure it is untouched.
    virtual bool GetVersionExA(OsVersionInfo& info) = 0;

    // GetComputerNameA: `buffer` holds `size` bytes on entry (256). On success
    // (true) the name is copied with a terminating NUL and `size` holds the
    // number of characters copied, not counting the NUL. On failure the buffer
    // content is unspecified and false is returned. Text is UTF-8.
    virtual bool GetComputerNameA(char* buffer, std::uint32_t& size) = 0;
};

}  // namespace ww::platform
