#include "platform/formats/ProcStat.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace ww::platform {

namespace {

constexpr std::string_view kPrefix = "cpu";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The next blank-separated field, or empty at the end of the line.
std::string_view NextField(std::string_view& rest) {
    while (!rest.empty() && IsBlank(rest.front())) {
        rest.remove_prefix(1);
    }
    std::size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) {
        ++end;
    }
    const std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end);
    return field;
}

std::optional<std::uint64_t> Number(std::string_view field) {
    if (field.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : field) {
        if (!IsDigit(c) || __builtin_mul_overflow(value, 10u, &value) ||
            __builtin_add_overflow(value, static_cast<unsigned>(c - '0'), &value)) {
            return std::nullopt;
        }
    }
    return value;
}

// `line` starts with "cpu".
std::optional<ProcStatCpu> ParseLine(std::string_view line) {
    std::size_t nameEnd = kPrefix.size();
    while (nameEnd < line.size() && !IsBlank(line[nameEnd])) {
        ++nameEnd;
    }
    const std::string_view name = line.substr(kPrefix.size(), nameEnd - kPrefix.size());
    line.remove_prefix(nameEnd);
    ProcStatCpu cpu;
    if (!name.empty()) {
        std::int64_t index = 0;
        for (const char c : name) {
            if (!IsDigit(c)) {
                return std::nullopt;
            }
            index = std::min<std::int64_t>(index * 10 + (c - '0'),
                                           std::numeric_limits<std::int32_t>::max());
        }
        cpu.index = static_cast<std::int32_t>(index);
    }
    std::uint64_t fields[5] = {};
    std::size_t count = 0;
    for (std::string_view field = NextField(line); !field.empty(); field = NextField(line)) {
        const std::optional<std::uint64_t> value = Number(field);
        if (!value) {
            return std::nullopt;
        }
        if (count < 5) {
            fields[count] = *value;
        }
        ++count;
    }
    if (count < 4 || __builtin_add_overflow(fields[3], fields[4], &cpu.idleTicks)) {
        return std::nullopt;
    }
    return cpu;
}

}  // namespace

void ParseProcStat(std::string_view text, std::vector<ProcStatCpu>& cpus) {
    cpus.clear();
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.starts_with(kPrefix)) {
            if (const std::optional<ProcStatCpu> cpu = ParseLine(line)) {
                cpus.push_back(*cpu);
            }
        }
    }
}

std::optional<std::int64_t> TicksToHundredNanoseconds(std::uint64_t ticks,
                                                      std::int64_t ticksPerSecond) {
    constexpr std::uint64_t kPerSecond = 10'000'000;
    if (ticksPerSecond < 1) {
        return std::nullopt;
    }
    const auto hz = static_cast<std::uint64_t>(ticksPerSecond);
    std::uint64_t whole = 0;
    std::uint64_t part = 0;
    std::uint64_t total = 0;
    if (__builtin_mul_overflow(ticks / hz, kPerSecond, &whole) ||
        __builtin_mul_overflow(ticks % hz, kPerSecond, &part) ||
        __builtin_add_overflow(whole, part / hz, &total) ||
        total > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(total);
}

}  // namespace ww::platform
