#include "platform/formats/PerfData.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <new>
#include <vector>

namespace ww::platform {

namespace {

constexpr std::uint32_t kProcessorObject = 238;
constexpr std::uint32_t kProcessorTimeCounter = 6;

// How much of each structure is copied out before its fields are used.
constexpr std::uint64_t kBlockHeaderSize = 84;
constexpr std::uint64_t kObjectHeaderSize = 64;
constexpr std::uint64_t kCounterDefinitionSize = 40;
constexpr std::uint64_t kInstanceDefinitionSize = 24;
constexpr std::uint64_t kCounterBlockSize = 4;

// Positions are 64-bit so that a 32-bit field added to a position never
// wraps; whatever ends beyond the data is refused before it is read.
class Bytes {
  public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}

    bool Holds(std::uint64_t at, std::uint64_t size) const {
        return at <= data_.size() && size <= data_.size() - at;
    }

    std::uint16_t U16(std::uint64_t at) const {
        const auto i = static_cast<std::size_t>(at);
        return static_cast<std::uint16_t>(data_[i] | data_[i + 1] << 8);
    }

    std::uint32_t U32(std::uint64_t at) const {
        return static_cast<std::uint32_t>(U16(at)) | static_cast<std::uint32_t>(U16(at + 2)) << 16;
    }

    std::int64_t I64(std::uint64_t at) const {
        const std::uint64_t value =
            static_cast<std::uint64_t>(U32(at)) | static_cast<std::uint64_t>(U32(at + 4)) << 32;
        return static_cast<std::int64_t>(value);
    }

  private:
    std::span<const std::uint8_t> data_;
};

struct Failure {
    std::int32_t number;
};

// The instance name as a processor number: decimal digits only, saturated at
// the largest 32-bit value (which is beyond any processor count); -1 for any
// other name.
std::int32_t ProcessorIndex(const Bytes& bytes, std::uint64_t at, std::uint64_t characters) {
    if (characters == 0) {
        return -1;
    }
    std::int64_t value = 0;
    for (std::uint64_t i = 0; i < characters; ++i) {
        const std::uint16_t c = bytes.U16(at + 2 * i);
        if (c < '0' || c > '9') {
            return -1;
        }
        value = std::min<std::int64_t>(value * 10 + (c - '0'),
                                       std::numeric_limits<std::int32_t>::max());
    }
    return static_cast<std::int32_t>(value);
}

std::uint64_t FindProcessorObject(const Bytes& bytes) {
    std::uint64_t at = bytes.U32(24);  // HeaderLength
    const std::uint32_t objects = bytes.U32(28);
    for (std::uint32_t i = 0; i < objects; ++i) {
        if (!bytes.Holds(at, kObjectHeaderSize)) {
            throw Failure{perferr::kUnreadable};
        }
        if (bytes.U32(at + 12) == kProcessorObject) {
            return at;
        }
        const std::uint32_t total = bytes.U32(at);
        if (total < kObjectHeaderSize) {
            throw Failure{perferr::kUnreadable};  // would not move on
        }
        at += total;
    }
    throw Failure{perferr::kObjectMissing};
}

std::uint32_t FindCounterOffset(const Bytes& bytes, std::uint64_t object) {
    std::uint64_t at = object + bytes.U32(object + 8);  // HeaderLength
    const std::uint32_t counters = bytes.U32(object + 32);
    for (std::uint32_t i = 0; i < counters; ++i) {
        if (!bytes.Holds(at, kCounterDefinitionSize)) {
            throw Failure{perferr::kUnreadable};
        }
        if (bytes.U32(at + 4) == kProcessorTimeCounter) {
            return bytes.U32(at + 36);
        }
        const std::uint32_t length = bytes.U32(at);
        if (length < kCounterDefinitionSize) {
            throw Failure{perferr::kUnreadable};
        }
        at += length;
    }
    throw Failure{perferr::kCounterMissing};
}

void ReadInstances(const Bytes& bytes, std::uint64_t object, std::uint32_t counterOffset,
                   ProcessorSample& sample) {
    std::uint64_t at = object + bytes.U32(object + 4);  // DefinitionLength
    // Signed: an object without instances says -1.
    const auto instances = static_cast<std::int32_t>(bytes.U32(object + 40));
    for (std::int32_t i = 0; i < instances; ++i) {
        if (!bytes.Holds(at, kInstanceDefinitionSize)) {
            throw Failure{perferr::kUnreadable};
        }
        const std::uint32_t length = bytes.U32(at);
        const std::uint64_t name = at + bytes.U32(at + 16);
        const std::uint32_t nameLength = bytes.U32(at + 20);  // bytes, with the NUL
        const std::uint64_t nameBytes = nameLength < 2 ? 0 : nameLength - 2;
        if (length < kInstanceDefinitionSize || !bytes.Holds(name, nameBytes)) {
            throw Failure{perferr::kUnreadable};
        }
        const std::uint64_t block = at + length;
        if (!bytes.Holds(block, kCounterBlockSize)) {
            throw Failure{perferr::kUnreadable};
        }
        const std::uint32_t blockLength = bytes.U32(block);
        const std::uint64_t value = block + counterOffset;
        if (blockLength < kCounterBlockSize || !bytes.Holds(value, 8)) {
            throw Failure{perferr::kUnreadable};
        }
        sample.instances.push_back({ProcessorIndex(bytes, name, nameBytes / 2), bytes.I64(value)});
        at = block + blockLength;
    }
}

}  // namespace

std::optional<std::uint64_t> FileTimeFromSystemTime(const SystemTime& time) {
    constexpr std::uint8_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const unsigned year = time.wYear;
    const unsigned month = time.wMonth;
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || time.wDay < 1 ||
        time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999) {
        return std::nullopt;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (time.wDay > kDays[month - 1] + (month == 2 && leap ? 1 : 0)) {
        return std::nullopt;
    }
    // Whole years since 1601, then whole months of this year.
    const std::uint64_t y = year - 1601;
    std::uint64_t days = y * 365 + y / 4 - y / 100 + y / 400;
    for (unsigned m = 1; m < month; ++m) {
        days += kDays[m - 1] + (m == 2 && leap ? 1u : 0u);
    }
    days += time.wDay - 1u;
    const std::uint64_t seconds =
        ((days * 24 + time.wHour) * 60 + time.wMinute) * 60 + time.wSecond;
    return seconds * 10'000'000 + time.wMilliseconds * 10'000ULL;
}

std::int32_t ReadProcessorSample(std::span<const std::uint8_t> data, ProcessorSample& sample) {
    sample = ProcessorSample{};
    const Bytes bytes(data);
    static constexpr std::uint8_t kSignature[] = {'P', 0, 'E', 0, 'R', 0, 'F', 0};
    if (!bytes.Holds(0, kBlockHeaderSize) ||
        !std::equal(data.begin(), data.begin() + 8, kSignature)) {
        return perferr::kUnreadable;
    }
    try {
        const std::uint64_t object = FindProcessorObject(bytes);
        const std::uint32_t counterOffset = FindCounterOffset(bytes, object);
        ReadInstances(bytes, object, counterOffset, sample);
    } catch (const Failure& failure) {
        sample = ProcessorSample{};
        return failure.number;
    }
    SystemTime time;
    std::uint16_t* fields[] = {&time.wYear, &time.wMonth,  &time.wDayOfWeek, &time.wDay,
                               &time.wHour, &time.wMinute, &time.wSecond,    &time.wMilliseconds};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        *fields[i] = bytes.U16(36 + 2 * i);
    }
    const std::optional<std::uint64_t> fileTime = FileTimeFromSystemTime(time);
    if (!fileTime) {
        sample = ProcessorSample{};
        return perferr::kUnreadable;
    }
    sample.sampleTime = *fileTime;
    return 0;
}

std::int32_t PerfData::Sample(ProcessorSample& sample) {
    try {
        return SampleWithin(sample);
    } catch (const std::bad_alloc&) {
        // A 32-bit process may not find that much room; the reading fails, not the program.
        sample = ProcessorSample{};
        return perferr::kUnreadable;
    }
}

std::int32_t PerfData::SampleWithin(ProcessorSample& sample) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bufferSize_));
    std::uint32_t size = 0;
    for (;;) {
        size = static_cast<std::uint32_t>(buffer.size());
        if (query_(buffer.data(), size) != kMoreData) {
            break;
        }
        if (bufferSize_ >= kMaxBufferSize) {
            sample = ProcessorSample{};
            return perferr::kUnreadable;
        }
        const std::int32_t grown = std::min(bufferSize_ * 2, kMaxBufferSize);
        buffer.clear();
        buffer.shrink_to_fit();  // the old buffer goes before the new one is taken
        buffer.resize(static_cast<std::size_t>(grown));
        bufferSize_ = grown;
    }
    // Whatever the answer, the buffer is read as it stands, as far as the
    // query said it filled it.
    const std::size_t length = std::min<std::size_t>(size, buffer.size());
    return ReadProcessorSample(std::span(buffer).first(length), sample);
}

}  // namespace ww::platform
