#include "platform/win32/Win32InterfaceTable.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(Win32InterfaceTableTest, TableHasRowsAndKeepsItsBuffers) {
    Win32InterfaceTable table;
    std::vector<InterfaceOctets> rows(3, InterfaceOctets{1, 1});
    ASSERT_EQ(table.GetIfTable(rows), 0u);
    EXPECT_GE(rows.size(), 1u);  // the loopback interface at least
    const std::size_t count = rows.size();
    const auto* storage = rows.data();
    ASSERT_EQ(table.GetIfTable(rows), 0u);
    EXPECT_EQ(rows.size(), count);
    EXPECT_EQ(rows.data(), storage);
}

}  // namespace
}  // namespace ww::platform
