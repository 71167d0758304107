#include "monitors/MemStats.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace ww::monitors {

namespace {

// The largest byte count taken as an exact number; larger values are errors.
constexpr std::uint64_t kExactLimit = 922'337'203'685'477ULL;

std::optional<std::int64_t> CommittedBytes(platform::Memory& memory, bool nt5OrLater) {
    if (nt5OrLater) {
        platform::MemoryStatusEx status;
        status.dwLength = sizeof(platform::MemoryStatusEx);
        // A failed query would show as 0 K, a number that looks real; say so instead.
        if (!memory.GlobalMemoryStatusEx(status)) {
            return std::nullopt;
        }
        if (status.ullTotalPageFile > kExactLimit || status.ullAvailPageFile > kExactLimit) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(status.ullTotalPageFile) -
               static_cast<std::int64_t>(status.ullAvailPageFile);
    }
    // Older systems: signed 32-bit fields, and a difference that must stay 32-bit.
    platform::MemoryStatus status;
    status.dwLength = sizeof(platform::MemoryStatus);
    memory.GlobalMemoryStatus(status);
    const std::int64_t used = std::int64_t{static_cast<std::int32_t>(status.dwTotalPageFile)} -
                              std::int64_t{static_cast<std::int32_t>(status.dwAvailPageFile)};
    if (used < std::numeric_limits<std::int32_t>::min() ||
        used > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return used;
}

// Nearest 32-bit integer, a half going to the even neighbour; done by hand so
// the answer does not depend on the floating-point rounding mode.
std::optional<std::int32_t> RoundHalfEven(double value) {
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

// The number pattern "#,###": digits grouped in threes, nothing for 0.
std::string GroupThousands(std::int32_t value, const std::string& separator) {
    if (value == 0) {
        return {};
    }
    const std::int64_t wide = value;
    const std::string digits = std::to_string(wide < 0 ? -wide : wide);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0) {
            text += separator;
        }
        text += digits[i];
    }
    return text;
}

}  // namespace

std::string GetMemoryUsageText(platform::Memory& memory, platform::Locale& locale,
                               const ComputerIdentity& computer) {
    const std::optional<std::int64_t> used = CommittedBytes(memory, computer.IsNT5OrLater);
    if (!used) {
        return "memory query failed";
    }
    // |used| stays below 2^53, so the double holds it, and the quotient, exactly.
    const std::optional<std::int32_t> kib = RoundHalfEven(static_cast<double>(*used) / 1024.0);
    if (!kib) {
        return "memory query failed";
    }
    return GroupThousands(*kib, locale.ThousandsSeparator()) + " K";
}

void TrimWorkingSet(platform::Memory& memory) {
    // Every step runs whatever the previous one answered; a refused handle
    // just makes the later calls fail, which nothing here reports.
    const std::uint32_t processId = memory.GetCurrentProcessId();
    const platform::Handle process =
        memory.OpenProcess(platform::kProcessAllAccess, false, processId);
    memory.SetProcessWorkingSetSize(process, -1, -1);
    memory.CloseHandle(process);
}

}  // namespace ww::monitors
