#include "platform/linux/tray/sni/RegisterAgain.h"

namespace ww::platform {

std::optional<int> RegisterAgain::Next(std::int64_t nowMs) {
    while (!recent_.empty() && nowMs - recent_.front() >= kWindowMs) {
        recent_.pop_front();
    }
    if (recent_.size() >= static_cast<std::size_t>(kMost)) {
        return std::nullopt;
    }
    const int delay = kFirstDelayMs << recent_.size();
    recent_.push_back(nowMs);
    return delay;
}

}  // namespace ww::platform
