#include "platform/win32/Win32SystemParameters.h"

#include <gtest/gtest.h>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// Sets the flag in memory only and puts it back.
class Win32SystemParametersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(parameters_.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &original_, 0));
    }
    void TearDown() override {
        parameters_.SystemParametersInfoA(spi::kSetScreenSaveActive,
                                          static_cast<std::uint32_t>(original_), nullptr, 0);
    }
    std::int32_t Active() {
        std::int32_t active = -7;
        EXPECT_TRUE(parameters_.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, &active, 0));
        return active;
    }

    Win32SystemParameters parameters_;
    std::int32_t original_ = 0;
};

TEST_F(Win32SystemParametersTest, FlagReadsBackWhatWasSet) {
    EXPECT_TRUE(original_ == 0 || original_ == 1) << original_;
    for (const std::uint32_t flag : {0u, 1u, 0u}) {
        SCOPED_TRACE(flag);
        EXPECT_TRUE(parameters_.SystemParametersInfoA(spi::kSetScreenSaveActive, flag, nullptr, 0));
        EXPECT_EQ(Active(), static_cast<std::int32_t>(flag));
    }
}

TEST(Win32SystemParametersRefusalTest, OtherActionsAndNullResultsAreRefused) {
    Win32SystemParameters parameters;
    std::int32_t value = 5;
    EXPECT_FALSE(parameters.SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &value, 0));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(parameters.SystemParametersInfoA(spi::kGetScreenSaveActive, 0, nullptr, 0));
}

}  // namespace
}  // namespace ww::platform
