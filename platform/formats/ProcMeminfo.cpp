#include "platform/formats/ProcMeminfo.h"

#include <cstddef>
#include <limits>

namespace ww::platform {

namespace {

constexpr std::string_view kKey = "Committed_AS:";
constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

void SkipBlanks(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) {
        rest.remove_prefix(1);
    }
}

// "<blanks><digits><blanks>kB<blanks>" as bytes.
std::optional<std::uint64_t> ParseValue(std::string_view rest) {
    SkipBlanks(rest);
    std::uint64_t kib = 0;
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
        const auto digit = static_cast<std::uint64_t>(rest[digits] - '0');
        if (kib > (kMax - digit) / 10) {
            return std::nullopt;
        }
        kib = kib * 10 + digit;
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    rest.remove_prefix(digits);
    SkipBlanks(rest);
    if (!rest.starts_with("kB")) {
        return std::nullopt;
    }
    rest.remove_prefix(2);
    SkipBlanks(rest);
    if (!rest.empty() || kib > kMax / 1024) {
        return std::nullopt;
    }
    return kib * 1024;
}

}  // namespace

std::optional<std::uint64_t> ParseCommittedAs(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.starts_with(kKey)) {
            return ParseValue(line.substr(kKey.size()));
        }
    }
    return std::nullopt;
}

}  // namespace ww::platform
