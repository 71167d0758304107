#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace ww::platform {

// When to register the item again after the watcher forgot it while it was
// shown: soon, waiting twice as long each time, and at most kMost times
// within kWindowMs, so that a watcher that drops it every time is not asked
// forever.
class RegisterAgain {
  public:
    static constexpr int kMost = 5;
    static constexpr std::int64_t kWindowMs = 60'000;
    static constexpr int kFirstDelayMs = 1000;

    // The watcher forgot the item at `nowMs` (a steady clock): the wait
    // before registering again, or nullopt when the budget is spent.
    std::optional<int> Next(std::int64_t nowMs);

  private:
    // When the registrations again of the last window were decided.
    std::deque<std::int64_t> recent_;
};

}  // namespace ww::platform
