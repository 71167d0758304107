#pragma once

#include <cstdint>
#include <vector>

#include "platform/ports/InterfaceTable.h"

namespace ww::monitors {

// Tells whether the computer received and sent network data since the
// previous sample, from the summed byte counters of every interface.
class NetworkActivity {
  public:
    explicit NetworkActivity(platform::InterfaceTable& table) : table_(table) {}

    // Takes a sample and compares it with the previous one. Never fails outward.
    void Update();

    // True when the last sample's received (sent) total grew.
    bool Receiving() const { return receiving_; }
    bool Sending() const { return sending_; }
    std::uint32_t BytesReceived() const { return received_; }
    std::uint32_t BytesSent() const { return sent_; }

  private:
    bool ReadInterfaceTotals();

    platform::InterfaceTable& table_;
    std::vector<platform::InterfaceOctets> rows_;
    std::uint32_t received_ = 0;
    std::uint32_t sent_ = 0;
    std::uint32_t previousReceived_ = 0;
    std::uint32_t previousSent_ = 0;
    bool receiving_ = false;
    bool sending_ = false;
};

}  // namespace ww::monitors
