#pragma once

#include "platform/ports/SystemIdentity.h"

namespace ww::platform {

// The Windows version and the computer's name, from kernel32.
class Win32Identity final : public SystemIdentity {
  public:
    // Refuses (false) a record whose size field is not 148, as Windows does.
    bool GetVersionExA(OsVersionInfo& info) override;
    // The name in UTF-8; false, with `size` set to what would be needed
    // including the NUL, when it does not fit the caller's buffer.
    bool GetComputerNameA(char* buffer, std::uint32_t& size) override;
};

}  // namespace ww::platform
