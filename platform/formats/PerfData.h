#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "platform/ports/ProcessorLoad.h"

namespace ww::platform {

// SYSTEMTIME, as the performance-data block carries it.
struct SystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// What SystemTimeToFileTime gives: 100-ns units since 1601-01-01. Nothing for
// a time it refuses (year outside 1601 to 30827, month, day, hour, minute,
// second or milliseconds out of range). The day of the week is not looked at.
std::optional<std::uint64_t> FileTimeFromSystemTime(const SystemTime& time);

// Reads the processor object (title index 238), its processor-time counter
// (title index 6) and every instance out of a performance-data block
// (PERF_DATA_BLOCK, little-endian). `sample` is replaced: one entry per
// instance in block order, the sample time from the block's SystemTime.
// Returns 0, or perferr::kObjectMissing / kCounterMissing, or kUnreadable
// for a bad signature or SystemTime and for any structure, name or value
// that does not lie wholly inside `data`; nothing outside `data` is read.
std::int32_t ReadProcessorSample(std::span<const std::uint8_t> data, ProcessorSample& sample);

// The query loop over HKEY_PERFORMANCE_DATA "238". The buffer starts at 4096
// bytes and doubles while the query answers ERROR_MORE_DATA, up to 16 MiB
// (the processor object of a very large machine takes a few hundred KiB);
// the size that sufficed is where the next sample starts.
class PerfData {
  public:
    static constexpr std::int32_t kFirstBufferSize = 4096;
    static constexpr std::int32_t kMaxBufferSize = 16 * 1024 * 1024;
    static constexpr std::int32_t kMoreData = 234;  // ERROR_MORE_DATA

    // RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", ...): fills `buffer`,
    // which holds `size` bytes on entry; `size` then holds the length of the
    // data. Answers the Windows error code.
    using Query = std::function<std::int32_t(std::uint8_t* buffer, std::uint32_t& size)>;

    explicit PerfData(Query query) : query_(std::move(query)) {}

    // One sample, as ReadProcessorSample. Data that does not fit the largest
    // buffer, or a buffer that cannot be had, ends the sample with kUnreadable.
    std::int32_t Sample(ProcessorSample& sample);

    std::int32_t BufferSize() const { return bufferSize_; }

  private:
    std::int32_t SampleWithin(ProcessorSample& sample);

    Query query_;
    std::int32_t bufferSize_ = kFirstBufferSize;
};

}  // namespace ww::platform
