#include "monitors/NetworkActivity.h"

namespace ww::monitors {

namespace {

constexpr std::uint32_t kNotSupported = 50;  // ERROR_NOT_SUPPORTED

// The counters and their sums wrap at 2^32, so growth is judged on the
// difference modulo 2^32: up to half the range forward counts as growth,
// anything else (equal, fallen, an interface gone) does not. A total of 0
// is what a failed read or an empty table gives, never evidence of traffic.
bool Grew(std::uint32_t now, std::uint32_t before) {
    const std::uint32_t delta = now - before;
    return now != 0 && delta != 0 && delta <= 0x7FFF'FFFFu;
}

}  // namespace

bool NetworkActivity::ReadInterfaceTotals() {
    received_ = 0;
    sent_ = 0;
    const std::uint32_t result = table_.GetIfTable(rows_);
    if (result == kNotSupported) {
        return false;
    }
    if (result == 0) {
        for (const platform::InterfaceOctets& row : rows_) {
            received_ += row.inOctets;
            sent_ += row.outOctets;
        }
    }
    // Any other result is a failed read: both totals stay 0 for this sample.
    return true;
}

void NetworkActivity::Update() {
    if (!ReadInterfaceTotals()) {
        return;
    }
    // Until both totals have been seen nonzero there is nothing to compare.
    if (previousReceived_ != 0 && previousSent_ != 0) {
        receiving_ = Grew(received_, previousReceived_);
        sending_ = Grew(sent_, previousSent_);
    }
    previousReceived_ = received_;
    previousSent_ = sent_;
}

}  // namespace ww::monitors
