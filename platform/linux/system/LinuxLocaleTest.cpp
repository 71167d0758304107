#include "platform/linux/system/LinuxLocale.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(LinuxLocaleTest, CLocalesGiveEnglishMonthsAndACommaSeparator) {
    const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
        LinuxLocale locale(LocaleNames{name, name});
        for (int month = 1; month <= 12; ++month) {
            EXPECT_EQ(locale.MonthAbbreviation(month), months[month - 1]) << name;
        }
        // These locales group digits without a separator.
        EXPECT_EQ(locale.ThousandsSeparator(), ",") << name;
    }
}

TEST(LinuxLocaleTest, UnknownLocaleFallsBackToC) {
    LinuxLocale locale(LocaleNames{"xx_NOWHERE.UTF-8", "xx_NOWHERE.UTF-8"});
    EXPECT_EQ(locale.MonthAbbreviation(1), "Jan");
    EXPECT_EQ(locale.ThousandsSeparator(), ",");
}

TEST(LinuxLocaleTest, MonthOutOfRangeIsEmpty) {
    LinuxLocale locale(LocaleNames{"C", "C"});
    for (int month : {0, 13, -1}) {
        EXPECT_EQ(locale.MonthAbbreviation(month), "") << month;
    }
}

}  // namespace
}  // namespace ww::platform
