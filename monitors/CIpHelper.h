#pragma once

#include <cstdint>
#include <vector>

#include "platform/ports/InterfaceTable.h"

namespace ww::monitors {

// Tells whether the computer received and sent network data since the
// previous sample, from the summed byte counters of every interface.
class CIpHelper {
public:
    explicit CIpHelper(platform::InterfaceTable& table) : table_(table) {}

    // Takes a sample and sets bRX / bTX. Never fails outward.
    void Update();

    bool bRX = false;
    bool bTX = false;
    std::uint32_t BytesReceived() const { return received_; }
    std::uint32_t BytesSent() const { return sent_; }

private:
    bool ReadInterfaceTotals();

    platform::InterfaceTable& table_;
    std::vector<platform::InterfaceOctets> rows_;
    std::uint32_t received_ = 0;
    std::uint32_t sent_ = 0;
    std::uint32_t PreviousTotals[2] = {0, 0};
};

}  // namespace ww::monitors
