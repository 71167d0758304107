#pragma once

#include <cstdint>
#include <optional>

namespace ww::uptime {

// Rounds a count of ten-thousandths to the nearest whole number, a half going
// to the even neighbour (58.5 -> 58, 59.5 -> 60, -0.5 -> 0). Empty when the
// result does not fit a signed 32-bit number.
std::optional<std::int32_t> RoundHalfEven(std::int64_t tenThousandths);

// counter / frequency rounded to four decimals (halves to even), as
// ten-thousandths; empty on a zero frequency or a quotient out of range.
std::optional<std::int64_t> DivideToFixed(std::int64_t counter, std::int64_t frequency);

}  // namespace ww::uptime
