#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ww::platform {

// The committed memory in bytes from the text of Linux's /proc/meminfo: the
// line "Committed_AS: <n> kB", n × 1024. Nothing when that line is missing or
// malformed, or when the byte count does not fit in 64 bits. Any input is
// accepted.
std::optional<std::uint64_t> ParseCommittedAs(std::string_view text);

}  // namespace ww::platform
