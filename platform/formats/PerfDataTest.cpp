#include "platform/formats/PerfData.h"
#include "tests/support/CaseNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ww::platform {
namespace {

using ww::cases::PrintTo;

using Data = std::vector<std::uint8_t>;

// --- a small writer of performance-data blocks -------------------------------

void Put16(Data& data, std::size_t at, std::uint16_t value) {
    if (data.size() < at + 2) {
        data.resize(at + 2);
    }
    data[at] = static_cast<std::uint8_t>(value);
    data[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(Data& data, std::size_t at, std::uint32_t value) {
    Put16(data, at, static_cast<std::uint16_t>(value));
    Put16(data, at + 2, static_cast<std::uint16_t>(value >> 16));
}

void Put64(Data& data, std::size_t at, std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    Put32(data, at, static_cast<std::uint32_t>(bits));
    Put32(data, at + 4, static_cast<std::uint32_t>(bits >> 32));
}

struct Instance {
    std::u16string name;
    std::int64_t value;
};

struct Object {
    std::uint32_t title = 238;
    std::vector<std::uint32_t> counters = {4, 6};  // title indexes; 8 bytes apart in the block
    std::vector<Instance> instances;
};

// Where the writer put things, for tests that then corrupt them.
struct Layout {
    std::vector<std::size_t> objects;
    std::vector<std::size_t> instances;
};

// A block dated 2006-01-27 12:34:56.789 with the given objects laid out as
// Windows does: block header (88 bytes), then each object's header (64),
// counter definitions (40 each), then per instance its definition (24), its
// name (UTF-16 with NUL, padded to 8) and its counter block (4 + pad + values).
Data WriteBlock(const std::vector<Object>& objects, Layout* layout = nullptr) {
    Data data(88, 0);
    const char16_t signature[] = u"PERF";
    for (std::size_t i = 0; i < 4; ++i) {
        Put16(data, 2 * i, signature[i]);
    }
    Put32(data, 24, 88);
    Put32(data, 28, static_cast<std::uint32_t>(objects.size()));
    const std::uint16_t time[] = {2006, 1, 5, 27, 12, 34, 56, 789};
    for (std::size_t i = 0; i < 8; ++i) {
        Put16(data, 36 + 2 * i, time[i]);
    }
    for (const Object& object : objects) {
        const std::size_t start = data.size();
        if (layout != nullptr) {
            layout->objects.push_back(start);
        }
        data.resize(start + 64 + 40 * object.counters.size());
        Put32(data, start + 8, 64);
        Put32(data, start + 12, object.title);
        Put32(data, start + 32, static_cast<std::uint32_t>(object.counters.size()));
        Put32(data, start + 40, static_cast<std::uint32_t>(object.instances.size()));
        for (std::size_t c = 0; c < object.counters.size(); ++c) {
            const std::size_t at = start + 64 + 40 * c;
            Put32(data, at, 40);
            Put32(data, at + 4, object.counters[c]);
            Put32(data, at + 36, static_cast<std::uint32_t>(8 + 8 * c));
        }
        Put32(data, start + 4, static_cast<std::uint32_t>(data.size() - start));
        for (const Instance& instance : object.instances) {
            const std::size_t at = data.size();
            if (layout != nullptr) {
                layout->instances.push_back(at);
            }
            const std::size_t nameBytes = 2 * (instance.name.size() + 1);
            const std::size_t length = 24 + (nameBytes + 7) / 8 * 8;
            data.resize(at + length);
            Put32(data, at, static_cast<std::uint32_t>(length));
            Put32(data, at + 16, 24);
            Put32(data, at + 20, static_cast<std::uint32_t>(nameBytes));
            for (std::size_t k = 0; k < instance.name.size(); ++k) {
                Put16(data, at + 24 + 2 * k, instance.name[k]);
            }
            const std::size_t block = data.size();
            const std::size_t blockLength = 8 + 8 * object.counters.size();
            data.resize(block + blockLength);
            Put32(data, block, static_cast<std::uint32_t>(blockLength));
            for (std::size_t c = 0; c < object.counters.size(); ++c) {
                // Only the processor-time counter carries the instance's value.
                Put64(data, block + 8 + 8 * c, object.counters[c] == 6 ? instance.value : -7);
            }
        }
        Put32(data, start, static_cast<std::uint32_t>(data.size() - start));
    }
    return data;
}

const std::uint64_t kBlockTime = *FileTimeFromSystemTime({2006, 1, 0, 27, 12, 34, 56, 789});

Object TwoProcessors() {
    return Object{238, {4, 6}, {{u"0", 1'000'000}, {u"1", 2'500'000}, {u"_Total", 3'500'000}}};
}

// Reads from an exactly sized copy, so that the sanitizer sees any read past the end.
std::int32_t Read(const Data& data, ProcessorSample& sample) {
    const Data exact(data.begin(), data.end());
    return ReadProcessorSample(exact, sample);
}

using Pairs = std::vector<std::pair<std::int32_t, std::int64_t>>;

Pairs PairsOf(const ProcessorSample& sample) {
    Pairs pairs;
    for (const ProcessorInstance& instance : sample.instances) {
        pairs.emplace_back(instance.index, instance.idleTime);
    }
    return pairs;
}

// --- SystemTime conversion ----------------------------------------------------

struct TimeCase {
    const char* name;
    SystemTime time;
    std::optional<std::uint64_t> fileTime;
};

class FileTimeCases : public ::testing::TestWithParam<TimeCase> {};

TEST_P(FileTimeCases, MatchesSystemTimeToFileTime) {
    EXPECT_EQ(FileTimeFromSystemTime(GetParam().time), GetParam().fileTime);
}

const TimeCase kTimeCases[] = {
    {"Epoch1601", {1601, 1, 1, 1, 0, 0, 0, 0}, 0},
    {"UnixEpoch", {1970, 1, 4, 1, 0, 0, 0, 0}, 116'444'736'000'000'000ULL},
    {"BuildDate", {2006, 1, 5, 27, 0, 0, 0, 0}, 127'827'936'000'000'000ULL},
    {"EveryField", {2006, 1, 5, 27, 12, 34, 56, 789}, 127'828'388'967'890'000ULL},
    {"DayOfWeekIgnored", {2006, 1, 6, 27, 0, 0, 0, 0}, 127'827'936'000'000'000ULL},
    {"LeapDay2000", {2000, 2, 2, 29, 0, 0, 0, 0}, 125'962'560'000'000'000ULL},
    {"March2101", {2101, 3, 2, 1, 0, 0, 0, 0}, 157'835'520'000'000'000ULL},
    {"LastRepresentable", {30827, 12, 0, 31, 23, 59, 59, 999}, 9'223'149'887'999'990'000ULL},
    {"NoLeapDay2005", {2005, 2, 0, 29, 0, 0, 0, 0}, std::nullopt},
    {"NoLeapDay1900", {1900, 2, 0, 29, 0, 0, 0, 0}, std::nullopt},
    {"April31", {2006, 4, 0, 31, 0, 0, 0, 0}, std::nullopt},
    {"Year1600", {1600, 12, 0, 31, 0, 0, 0, 0}, std::nullopt},
    {"Year30828", {30828, 1, 0, 1, 0, 0, 0, 0}, std::nullopt},
    {"MonthZero", {2006, 0, 0, 1, 0, 0, 0, 0}, std::nullopt},
    {"Month13", {2006, 13, 0, 1, 0, 0, 0, 0}, std::nullopt},
    {"DayZero", {2006, 1, 0, 0, 0, 0, 0, 0}, std::nullopt},
    {"Hour24", {2006, 1, 0, 1, 24, 0, 0, 0}, std::nullopt},
    {"Minute60", {2006, 1, 0, 1, 0, 60, 0, 0}, std::nullopt},
    {"Second60", {2006, 1, 0, 1, 0, 0, 60, 0}, std::nullopt},
    {"Millisecond1000", {2006, 1, 0, 1, 0, 0, 0, 1000}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Times, FileTimeCases, ::testing::ValuesIn(kTimeCases), cases::CaseName{});

// --- well-formed blocks ---------------------------------------------------------

struct GoodCase {
    const char* name;
    std::vector<Object> objects;
    Pairs instances;
};

class ReadGoodBlocks : public ::testing::TestWithParam<GoodCase> {};

TEST_P(ReadGoodBlocks, GivesEveryInstance) {
    ProcessorSample sample;
    sample.instances = {{5, 5}};  // replaced
    ASSERT_EQ(Read(WriteBlock(GetParam().objects), sample), 0);
    EXPECT_EQ(PairsOf(sample), GetParam().instances);
    EXPECT_EQ(sample.sampleTime, kBlockTime);
}

const Pairs kTwoProcessors = {{0, 1'000'000}, {1, 2'500'000}, {-1, 3'500'000}};

const GoodCase kGoodCases[] = {
    {"TwoProcessorsAndTotal", {TwoProcessors()}, kTwoProcessors},
    {"ProcessorObjectAfterAnother", {{230, {6}, {{u"0", 9}}}, TwoProcessors()}, kTwoProcessors},
    {"CounterIsTheFirstDefinition",
     {{238, {6, 4}, {{u"0", 1'000'000}, {u"1", 2'500'000}, {u"_Total", 3'500'000}}}},
     kTwoProcessors},
    {"OnlyNamesOfDigitsAreProcessors",
     {{238,
       {6},
       {{u"12", 1},
        {u"", 2},
        {u"1a", 3},
        {u"-1", 4},
        {u" 1", 5},
        {u"99999999999", 6},
        {u"\u0661", 7}}}},
     {{12, 1}, {-1, 2}, {-1, 3}, {-1, 4}, {-1, 5}, {2'147'483'647, 6}, {-1, 7}}},
    {"NegativeAndLargeCounterValues",
     {{238, {6}, {{u"0", -1}, {u"1", INT64_MAX}}}},
     {{0, -1}, {1, INT64_MAX}}},
    {"ObjectWithoutInstancesYet", {{238, {6}, {}}}, {}},
};

INSTANTIATE_TEST_SUITE_P(Blocks, ReadGoodBlocks, ::testing::ValuesIn(kGoodCases),
                         cases::CaseName{});

TEST(ReadProcessorSample, ObjectMarkedWithoutInstancesHasNone) {
    Layout layout;
    Data data = WriteBlock({TwoProcessors()}, &layout);
    Put32(data, layout.objects[0] + 40, 0xFFFF'FFFF);  // PERF_NO_INSTANCES
    ProcessorSample sample;
    ASSERT_EQ(Read(data, sample), 0);
    EXPECT_TRUE(sample.instances.empty());
}

// --- broken blocks --------------------------------------------------------------

struct BadCase {
    const char* name;
    std::vector<Object> objects;
    std::function<void(Data&, const Layout&)> corrupt;
    std::int32_t result;
};

class ReadBadBlocks : public ::testing::TestWithParam<BadCase> {};

TEST_P(ReadBadBlocks, FailWithTheirNumber) {
    Layout layout;
    Data data = WriteBlock(GetParam().objects, &layout);
    if (GetParam().corrupt) {
        GetParam().corrupt(data, layout);
    }
    ProcessorSample sample;
    EXPECT_EQ(Read(data, sample), GetParam().result);
    EXPECT_TRUE(sample.instances.empty());
}

constexpr std::int32_t kObjectMissing = perferr::kObjectMissing;
constexpr std::int32_t kCounterMissing = perferr::kCounterMissing;
constexpr std::int32_t kUnreadable = perferr::kUnreadable;

// Offsets inside each structure.
constexpr std::size_t kObjTotal = 0, kObjDefinition = 4, kObjHeader = 8, kObjCounters = 32,
                      kObjInstances = 40, kInstLength = 0, kInstNameOffset = 16,
                      kInstNameLength = 20;

const BadCase kBadCases[] = {
    {"NoObjects", {}, nullptr, kObjectMissing},
    {"OnlyOtherObjects", {{230, {6}, {{u"0", 1}}}, {4, {6}, {}}}, nullptr, kObjectMissing},
    {"NoProcessorTimeCounter", {{238, {4, 5}, {{u"0", 1}}}}, nullptr, kCounterMissing},
    {"NoCountersAtAll", {{238, {}, {{u"0", 1}}}}, nullptr, kCounterMissing},
    {"BadSignature", {TwoProcessors()}, [](Data& d, const Layout&) { d[6] = 'G'; }, kUnreadable},
    {"Empty", {TwoProcessors()}, [](Data& d, const Layout&) { d.clear(); }, kUnreadable},
    {"AllZero",
     {TwoProcessors()},
     [](Data& d, const Layout&) { d.assign(d.size(), 0); },
     kUnreadable},
    {"ShortHeader", {TwoProcessors()}, [](Data& d, const Layout&) { d.resize(83); }, kUnreadable},
    {"HeaderLengthOutside",
     {TwoProcessors()},
     [](Data& d, const Layout&) { Put32(d, 24, 0xFFFF'FFF0); },
     kUnreadable},
    {"MoreObjectsThanWritten",
     {{230, {6}, {}}},
     [](Data& d, const Layout&) { Put32(d, 28, 2); },
     kUnreadable},
    {"ObjectThatDoesNotMoveOn",
     {{230, {6}, {}}},
     [](Data& d, const Layout& l) {
         Put32(d, 28, 0xFFFF'FFFF);
         Put32(d, l.objects[0] + kObjTotal, 0);
     },
     kUnreadable},
    {"ObjectLengthOutside",
     {{230, {6}, {}}, TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + kObjTotal, 0x7FFF'FFFF); },
     kUnreadable},
    {"ObjectHeaderLengthOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + kObjHeader, 0xFFFF'FFFF); },
     kUnreadable},
    {"MoreCountersThanWritten",
     {{238, {4, 5}, {}}},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + kObjCounters, 0xFFFF'FFFF); },
     kUnreadable},
    {"CounterThatDoesNotMoveOn",
     {{238, {4, 5}, {}}},
     [](Data& d, const Layout& l) {
         Put32(d, l.objects[0] + kObjCounters, 0xFFFF'FFFF);
         Put32(d, l.objects[0] + 64, 0);
     },
     kUnreadable},
    {"CounterOffsetOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + 64 + 40 + 36, 0xFFFF'FFF8); },
     kUnreadable},
    {"DefinitionLengthOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + kObjDefinition, 0x8000'0000); },
     kUnreadable},
    {"MoreInstancesThanWritten",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.objects[0] + kObjInstances, 4); },
     kUnreadable},
    {"InstanceThatDoesNotMoveOn",
     {TwoProcessors()},
     [](Data& d, const Layout& l) {
         Put32(d, l.objects[0] + kObjInstances, 0x7FFF'FFFF);
         Put32(d, l.instances[0] + kInstLength, 0);
     },
     kUnreadable},
    {"CounterBlockThatDoesNotMoveOn",
     {TwoProcessors()},
     [](Data& d, const Layout& l) {
         Put32(d, l.objects[0] + kObjInstances, 0x7FFF'FFFF);
         Put32(d, l.instances[1] - 24, 0);  // the first instance's counter block
     },
     kUnreadable},
    {"InstanceLengthOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.instances[2] + kInstLength, 0xFFFF'FFFF); },
     kUnreadable},
    {"NameOffsetOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.instances[1] + kInstNameOffset, 0x7FFF'FFFF); },
     kUnreadable},
    {"NameLengthOutside",
     {TwoProcessors()},
     [](Data& d, const Layout& l) { Put32(d, l.instances[1] + kInstNameLength, 0xFFFF'FFFF); },
     kUnreadable},
    {"SystemTimeMonth13",
     {TwoProcessors()},
     [](Data& d, const Layout&) { Put16(d, 38, 13); },
     kUnreadable},
};

INSTANTIATE_TEST_SUITE_P(Blocks, ReadBadBlocks, ::testing::ValuesIn(kBadCases), cases::CaseName{});

// Every byte of the block is needed, so every cut of it is refused, and none
// is read beyond (the sanitizer watches the exactly sized copies).
TEST(ReadProcessorSample, EveryTruncationIsUnreadable) {
    const Data whole = WriteBlock({TwoProcessors()});
    for (std::size_t length = 0; length < whole.size(); ++length) {
        ProcessorSample sample;
        ASSERT_EQ(
            Read(Data(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)), sample),
            kUnreadable)
            << "cut at " << length;
    }
}

// --- the query loop -----------------------------------------------------------

// Answers ERROR_MORE_DATA until the buffer holds `dataSize` bytes, then the
// block followed by zero padding up to that size.
struct FakeQuery {
    Data block;
    std::size_t dataSize;
    std::vector<std::uint32_t> sizes;  // the size offered at each call

    std::int32_t operator()(std::uint8_t* buffer, std::uint32_t& size) {
        sizes.push_back(size);
        if (size < dataSize) {
            size = 0xFFFF;  // what it says here must not matter
            return PerfData::kMoreData;
        }
        std::copy(block.begin(), block.end(), buffer);
        size = static_cast<std::uint32_t>(dataSize);
        return 0;
    }
};

TEST(PerfData, GrowsByDoublingUpTo16MiBAndKeepsTheSizeThatSufficed) {
    constexpr std::uint32_t kMiB = 1024 * 1024;
    const struct {
        const char* name;
        std::size_t dataSize;
        std::vector<std::uint32_t> sizes;  // offered in the first sample
        std::int32_t result;
        std::int32_t kept;
    } cases[] = {
        {"9000 bytes", 9000, {4096, 8192, 16384}, 0, 16384},
        {"just 16 MiB",
         16 * kMiB,
         {4096, 8192, 16384, 32768, 65536, 131072, 262144, 524288, kMiB, 2 * kMiB, 4 * kMiB,
          8 * kMiB, 16 * kMiB},
         0,
         16 * kMiB},
        {"beyond 16 MiB fails instead of growing on",
         16 * kMiB + 1,
         {4096, 8192, 16384, 32768, 65536, 131072, 262144, 524288, kMiB, 2 * kMiB, 4 * kMiB,
          8 * kMiB, 16 * kMiB},
         kUnreadable,
         16 * kMiB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeQuery fake{WriteBlock({TwoProcessors()}), c.dataSize, {}};
        PerfData perf(
            [&fake](std::uint8_t* buffer, std::uint32_t& size) { return fake(buffer, size); });
        ProcessorSample sample;
        ASSERT_EQ(perf.Sample(sample), c.result);
        EXPECT_EQ(fake.sizes, c.sizes);
        EXPECT_EQ(perf.BufferSize(), c.kept);
        if (c.result != 0) {
            EXPECT_TRUE(sample.instances.empty());
            continue;
        }
        EXPECT_EQ(PairsOf(sample), kTwoProcessors);
        fake.sizes.clear();
        ASSERT_EQ(perf.Sample(sample), 0);
        EXPECT_EQ(fake.sizes, (std::vector<std::uint32_t>{static_cast<std::uint32_t>(c.kept)}));
    }
}

TEST(PerfData, ABufferThatCannotBeHadFailsTheSampleOnly) {
    int calls = 0;
    PerfData perf([&calls](std::uint8_t*, std::uint32_t&) -> std::int32_t {
        if (++calls == 2) {
            throw std::bad_alloc();
        }
        return PerfData::kMoreData;
    });
    ProcessorSample sample;
    sample.instances.push_back({0, 1});
    EXPECT_EQ(perf.Sample(sample), kUnreadable);
    EXPECT_TRUE(sample.instances.empty());
}

TEST(PerfData, SmallDataNeedsOneQuery) {
    FakeQuery fake{WriteBlock({TwoProcessors()}), 600, {}};
    PerfData perf(
        [&fake](std::uint8_t* buffer, std::uint32_t& size) { return fake(buffer, size); });
    ProcessorSample sample;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(perf.Sample(sample), 0);
    }
    EXPECT_EQ(fake.sizes, (std::vector<std::uint32_t>{4096, 4096}));
    EXPECT_EQ(perf.BufferSize(), 4096);
}

struct QueryCase {
    const char* name;
    std::int32_t answer;
    std::optional<std::uint32_t> reportedSize;  // nothing: left as offered
    bool writesBlock;
    std::int32_t result;
};

class PerfDataAnswers : public ::testing::TestWithParam<QueryCase> {};

TEST_P(PerfDataAnswers, ReadTheBufferAsItStands) {
    const Data block = WriteBlock({TwoProcessors()});
    const QueryCase& c = GetParam();
    PerfData perf([&](std::uint8_t* buffer, std::uint32_t& size) {
        if (c.writesBlock) {
            std::copy(block.begin(), block.end(), buffer);
        }
        if (c.reportedSize) {
            size = *c.reportedSize;
        }
        return c.answer;
    });
    ProcessorSample sample;
    EXPECT_EQ(perf.Sample(sample), c.result);
    EXPECT_EQ(perf.BufferSize(), 4096);
}

const QueryCase kQueryCases[] = {
    {"FileNotFoundWritesNothing", 2, std::nullopt, false, kUnreadable},
    {"ErrorButDataWritten", 1, std::nullopt, true, 0},
    {"SizeBeyondTheBufferIsCut", 0, 0xFFFF'FFFF, true, 0},
    {"SizeShorterThanTheBlock", 0, 200, true, kUnreadable},
    {"NothingReturned", 0, 0, true, kUnreadable},
};

INSTANTIATE_TEST_SUITE_P(Answers, PerfDataAnswers, ::testing::ValuesIn(kQueryCases),
                         cases::CaseName{});

}  // namespace
}  // namespace ww::platform
