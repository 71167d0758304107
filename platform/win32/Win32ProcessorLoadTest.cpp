#include "platform/win32/Win32ProcessorLoad.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(Win32ProcessorLoadTest, ProcessorCountAndSampleAnswers) {
    Win32ProcessorLoad load;
    EXPECT_GE(load.GetNumberOfProcessors(), 1u);
    ProcessorSample sample;
    const std::int32_t result = load.QueryProcessorSample(sample);
    // Wine's performance data may lack the processor object; whatever it
    // answers must be one of the port's answers.
    EXPECT_TRUE(result == 0 || result == perferr::kObjectMissing ||
                result == perferr::kCounterMissing || result == perferr::kUnreadable)
        << result;
    if (result == 0) {
        EXPECT_FALSE(sample.instances.empty());
        EXPECT_GT(sample.sampleTime, 0u);
        // The start is before the sample, and the first reading measures from it.
        EXPECT_GT(sample.bootTime, 0u);
        EXPECT_LT(sample.bootTime, sample.sampleTime);
    }
    EXPECT_GE(load.BufferSize(), 4096);
    EXPECT_EQ(load.BufferSize() % 4096, 0);
}

TEST(Win32ProcessorLoadTest, StatisticWithoutItsKeysReadsZero) {
    Win32ProcessorLoad load;
    EXPECT_EQ(load.ReadStatistic(), 0);
    load.CloseStatisticData();  // nothing open: nothing happens
    if (load.OpenStatisticData()) {
        load.CloseStatisticData();
    }
    EXPECT_EQ(load.ReadStatistic(), 0);
}

}  // namespace
}  // namespace ww::platform
