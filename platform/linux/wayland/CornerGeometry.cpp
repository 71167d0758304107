#include "platform/linux/wayland/CornerGeometry.h"

namespace ww::platform {

std::optional<std::size_t> OriginOutput(const std::vector<OutputRect>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const OutputRect& r = outputs[i];
        if (r.width > 0 && r.height > 0 && r.x <= 0 && r.y <= 0 && r.x + r.width > 0 &&
            r.y + r.height > 0) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace ww::platform
