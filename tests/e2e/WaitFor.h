#pragma once

#include <chrono>
#include <thread>
#include <utility>

namespace ww::e2e {

using namespace std::chrono_literals;

// Polls until the predicate holds or the timeout has passed; returns its last
// answer. Tests assert on this answer, never on a sleep.
template <typename Predicate>
bool WaitFor(Predicate&& predicate, std::chrono::milliseconds timeout,
             std::chrono::milliseconds interval = 25ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (std::forward<Predicate>(predicate)()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(interval);
    }
}

}  // namespace ww::e2e
