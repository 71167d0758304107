#pragma once

#include <cstdint>
#include <string>

namespace ww::monitors {

// What start-up learns about the computer; read by the memory figure and
// every tooltip and caption that names the machine.
struct ComputerIdentity {
    // At most 255 characters; empty when it could not be read.
    std::string ComputerName;
    // 1 = 95/98/Me family, 2 = NT family, 0 until known.
    std::int32_t OSPlatformId = 0;
    bool IsNT5OrLater = false;
};

}  // namespace ww::monitors
