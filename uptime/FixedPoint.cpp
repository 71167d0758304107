#include "uptime/FixedPoint.h"

#include <cmath>
#include <limits>

namespace ww::uptime {

std::optional<std::int32_t> RoundHalfEven(std::int64_t tenThousandths) {
    std::int64_t whole = tenThousandths / 10'000;
    std::int64_t rest = tenThousandths % 10'000;  // same sign as the value
    if (rest > 5'000 || (rest == 5'000 && whole % 2 != 0)) {
        ++whole;
    } else if (rest < -5'000 || (rest == -5'000 && whole % 2 != 0)) {
        --whole;
    }
    if (whole < std::numeric_limits<std::int32_t>::min() ||
        whole > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

std::optional<std::int64_t> DivideToFixed(std::int64_t counter, std::int64_t frequency) {
    if (frequency == 0) {
        return std::nullopt;
    }
    const double scaled = static_cast<double>(counter) / static_cast<double>(frequency) * 10'000.0;
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double kLimit = 9'223'372'036'854'775'808.0;
    if (!std::isfinite(scaled) || scaled >= kLimit || scaled < -kLimit) {
        return std::nullopt;
    }
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<std::int64_t>(std::nearbyint(scaled));
}

}  // namespace ww::uptime
