#pragma once

#include <string_view>

#include "platform/ports/SystemIdentity.h"

namespace ww::platform {

// The numbers of a kernel release such as "6.1.0-18-amd64"; missing parts are 0.
struct KernelRelease {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t patch = 0;
};
KernelRelease ParseKernelRelease(std::string_view release);

// The version record of an NT-family system of version 5 or later, whose
// processor and memory readings (per-processor idle times, the extended
// memory status) are the ones this backend gives: platform 2, major version
// at least 5 (the kernel's major when higher), minor and build from the
// kernel release. The computer name is the host name.
class LinuxIdentity final : public SystemIdentity {
  public:
    bool GetVersionExA(OsVersionInfo& info) override;
    bool GetComputerNameA(char* buffer, std::uint32_t& size) override;
};

}  // namespace ww::platform
