#include "platform/win32/Win32Locale.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/common/Utf8.h"

namespace ww::platform {
namespace {

TEST(Win32LocaleTest, MonthsAndSeparatorAreUtf8Texts) {
    Win32Locale locale;
    std::set<std::string> months;
    for (int month = 1; month <= 12; ++month) {
        const std::string name = locale.MonthAbbreviation(month);
        EXPECT_FALSE(name.empty()) << month;
        EXPECT_TRUE(IsUtf8(name)) << month;
        months.insert(name);
    }
    EXPECT_EQ(months.size(), 12u);
    EXPECT_EQ(locale.MonthAbbreviation(0), "");
    EXPECT_EQ(locale.MonthAbbreviation(13), "");
    const std::string separator = locale.ThousandsSeparator();
    EXPECT_LE(separator.size(), 4u);
    EXPECT_TRUE(IsUtf8(separator));
}

}  // namespace
}  // namespace ww::platform
