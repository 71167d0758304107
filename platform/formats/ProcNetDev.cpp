#include "platform/formats/ProcNetDev.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ww::platform {

namespace {

// After the colon: rx bytes, packets, errs, drop, fifo, frame, compressed,
// multicast, then tx bytes.
constexpr int kRxBytesField = 0;
constexpr int kTxBytesField = 8;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The next whitespace-separated token of `rest`, taken off its front; empty
// at the end of the line.
std::string_view NextToken(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) {
        ++end;
    }
    const std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

// The next whitespace-separated token of `rest` as a decimal number of any
// length reduced modulo 2^32 (unsigned arithmetic wraps, so digit by digit
// gives exactly the low 32 bits), taken off its front. Nothing for an empty
// token or one that is not all digits. One pass over the characters: this runs
// for every interface on every tick.
std::optional<std::uint32_t> NextNumber(std::string_view& rest) {
    std::size_t i = 0;
    while (i < rest.size() && IsBlank(rest[i])) {
        ++i;
    }
    const std::size_t start = i;
    std::uint32_t value = 0;
    for (; i < rest.size() && !IsBlank(rest[i]); ++i) {
        const char c = rest[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
    }
    rest.remove_prefix(i);
    if (i == start) {
        return std::nullopt;
    }
    return value;
}

std::optional<InterfaceOctets> ParseLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view name = line.substr(0, colon);
    const std::string_view first = NextToken(name);
    if (first.empty() || !NextToken(name).empty()) {
        return std::nullopt;  // no name, or a name with blanks: not an interface line
    }
    std::string_view rest = line.substr(colon + 1);
    InterfaceOctets row;
    for (int field = 0; field <= kTxBytesField; ++field) {
        const std::optional<std::uint32_t> value = NextNumber(rest);
        if (!value) {
            return std::nullopt;
        }
        if (field == kRxBytesField) {
            row.inOctets = *value;
        } else if (field == kTxBytesField) {
            row.outOctets = *value;
        }
    }
    return row;
}

}  // namespace

void ParseProcNetDev(std::string_view text, std::vector<InterfaceOctets>& rows) {
    rows.clear();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const std::optional<InterfaceOctets> row = ParseLine(line)) {
            rows.push_back(*row);
        }
    }
}

}  // namespace ww::platform
