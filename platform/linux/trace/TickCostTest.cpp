#include "platform/linux/trace/TickCost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace ww::platform {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(TickCostTest, SummarisesEachIntervalOnItsOwnLine) {
    const std::string path = "/tmp/ww-tick-cost-" + std::to_string(getpid());
    {
        TickCost cost(path);
        ASSERT_TRUE(cost.Enabled());
        cost.Add(400, 30'000);
        cost.Add(400, 50'000);
        cost.Add(1000, 200'000);
    }
    EXPECT_EQ(Read(path),
              "timer 400 ms: 2 runs, mean 40 us, max 50 us\n"
              "timer 1000 ms: 1 runs, mean 200 us, max 200 us\n");
    unlink(path.c_str());
}

TEST(TickCostTest, WithoutAFileNothingIsTimed) {
    EXPECT_FALSE(TickCost("").Enabled());
    const std::int64_t before = TickCost::ThreadCpuNs();
    volatile double sink = 0;
    for (int i = 0; i < 100000; ++i) {
        sink = sink + i;
    }
    EXPECT_GT(TickCost::ThreadCpuNs(), before);
}

}  // namespace
}  // namespace ww::platform
