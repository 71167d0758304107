#include "platform/linux/wayland/CompositorWait.h"

#include <thread>

#include "platform/linux/wayland/LayerShellCorners.h"

namespace ww::platform {

std::optional<std::string> WaitForCompositor(std::chrono::milliseconds bound, std::FILE* notes) {
    // Polled: until the compositor listens there is nothing to be told by.
    constexpr auto kRetry = std::chrono::milliseconds(100);
    const auto deadline = std::chrono::steady_clock::now() + bound;
    auto problem = LayerShellCorners::CheckCompositor();
    if (!problem || bound.count() <= 0) {
        return problem;
    }
    std::fprintf(notes, "wakewatch: waiting up to %lld s for the Wayland compositor\n",
                 static_cast<long long>(std::chrono::ceil<std::chrono::seconds>(bound).count()));
    std::fflush(notes);
    while (problem && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kRetry);
        problem = LayerShellCorners::CheckCompositor();
    }
    return problem;
}

}  // namespace ww::platform
