#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace ww::platform {

// Where the corner surfaces go. Plain arithmetic, no Wayland.
struct OutputRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The index of the output that holds the point (0, 0); nullopt when none does.
std::optional<std::size_t> OriginOutput(const std::vector<OutputRect>& outputs);

}  // namespace ww::platform
