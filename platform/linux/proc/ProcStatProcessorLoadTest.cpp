#include "platform/linux/proc/ProcStatProcessorLoad.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace ww::platform {
namespace {

using Pairs = std::vector<std::pair<std::int32_t, std::int64_t>>;

std::uint64_t RealTimeUnits() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<std::uint64_t>(now.tv_sec) + 11'644'473'600ULL) * 10'000'000ULL +
           static_cast<std::uint64_t>(now.tv_nsec) / 100;
}

// A stand-in for /proc/stat that a test rewrites in place, as the kernel does.
class StatFile {
  public:
    StatFile() {
        char path[] = "/tmp/ww-stat-XXXXXX";
        const int fd = mkstemp(path);
        if (fd >= 0) {
            ::close(fd);
        }
        path_ = path;
    }
    ~StatFile() { ::unlink(path_.c_str()); }
    StatFile(const StatFile&) = delete;
    StatFile& operator=(const StatFile&) = delete;

    void Write(const std::string& text) const { std::ofstream(path_, std::ios::trunc) << text; }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

TEST(ProcStatProcessorLoad, IdlePlusIowaitIn100NsUnitsWithRealTime) {
    StatFile file;
    file.Write(
        "cpu  10 0 5 300 12 0 0 0 0 0\n"
        "cpu0 5 0 2 100 2 0 0 0 0 0\n"
        "cpu1 5 0 3 200 10 0 0 0 0 0\n"
        "intr 1 2 3\n");
    ProcStatProcessorLoad load(file.Path(), 100, 2);
    EXPECT_EQ(load.GetNumberOfProcessors(), 2U);
    ProcessorSample sample;
    const std::uint64_t before = RealTimeUnits();
    ASSERT_EQ(load.QueryProcessorSample(sample), 0);
    const std::uint64_t after = RealTimeUnits();
    Pairs pairs;
    for (const ProcessorInstance& instance : sample.instances) {
        pairs.emplace_back(instance.index, instance.idleTime);
    }
    EXPECT_EQ(pairs, (Pairs{{-1, 31'200'000}, {0, 10'200'000}, {1, 21'000'000}}));
    EXPECT_GE(sample.sampleTime, before);
    EXPECT_LE(sample.sampleTime, after);

    // The file stays open and is read afresh from the start.
    file.Write("cpu0 0 0 0 1 0\ncpu1 0 0 0 2 0\n");
    ASSERT_EQ(load.QueryProcessorSample(sample), 0);
    ASSERT_EQ(sample.instances.size(), 2U);
    EXPECT_EQ(sample.instances[1].idleTime, 200'000);
}

// The first reading is the average since the start: the boot time is the
// kernel's own (its "btime", whole seconds of the real-time clock).
TEST(ProcStatProcessorLoad, TheBootTimeIsTheKernels) {
    std::ifstream stat("/proc/stat");
    long long btime = -1;
    for (std::string word; stat >> word;) {
        if (word == "btime") {
            stat >> btime;
        }
    }
    ASSERT_GT(btime, 0);
    ProcStatProcessorLoad load;
    ProcessorSample sample;
    ASSERT_EQ(load.QueryProcessorSample(sample), 0);
    const auto seconds = static_cast<long long>(sample.bootTime / 10'000'000ULL) - 11'644'473'600LL;
    EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(btime), 2.0);
    EXPECT_LT(sample.bootTime, sample.sampleTime);
}

TEST(ProcStatProcessorLoad, OfflineProcessorKeepsPaceWithTheClock) {
    StatFile file;
    file.Write("cpu 0 0 0 9 0\ncpu0 0 0 0 4 0\ncpu2 0 0 0 5 0\n");
    ProcStatProcessorLoad load(file.Path(), 100, 3);
    ProcessorSample sample;
    ASSERT_EQ(load.QueryProcessorSample(sample), 0);
    ASSERT_EQ(sample.instances.size(), 4U);
    EXPECT_EQ(sample.instances[3].index, 1);
    EXPECT_EQ(static_cast<std::uint64_t>(sample.instances[3].idleTime), sample.sampleTime);
}

TEST(ProcStatProcessorLoad, FailuresAndTheMissingStatistic) {
    StatFile file;
    ProcessorSample sample;
    ProcStatProcessorLoad missing(file.Path() + "-gone", 100, 1);
    EXPECT_EQ(missing.QueryProcessorSample(sample), perferr::kUnreadable);

    file.Write("intr 1 2 3\nctxt 4\n");
    ProcStatProcessorLoad noCpus(file.Path(), 100, 1);
    EXPECT_EQ(noCpus.QueryProcessorSample(sample), perferr::kObjectMissing);

    file.Write("cpu0 0 0 0 1 0\n");
    ProcStatProcessorLoad badHz(file.Path(), 0, 1);
    EXPECT_EQ(badHz.QueryProcessorSample(sample), perferr::kUnreadable);
    EXPECT_TRUE(sample.instances.empty());

    EXPECT_FALSE(badHz.StartStatistic());
    EXPECT_FALSE(badHz.OpenStatisticData());
    EXPECT_EQ(badHz.ReadStatistic(), 0);
    EXPECT_FALSE(badHz.StopStatistic());
}

TEST(ProcStatProcessorLoad, RealProcStat) {
    ProcStatProcessorLoad load;
    EXPECT_GE(load.GetNumberOfProcessors(), 1U);
    ProcessorSample sample;
    ASSERT_EQ(load.QueryProcessorSample(sample), 0);
    EXPECT_GE(sample.instances.size(), load.GetNumberOfProcessors());
}

}  // namespace
}  // namespace ww::platform
