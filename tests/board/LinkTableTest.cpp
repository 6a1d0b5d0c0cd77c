#include "board/LinkTable.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(LinkTableTest, HandlesCountUpFromOneAndAFreedSlotTakesTheNextHandle) {
    TLinkTable<int, 2> table;
    const uint32_t first = table.Add(10);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(table.Add(20), 2u);
    EXPECT_TRUE(table.Full());
    ASSERT_NE(table.Find(2), nullptr);
    EXPECT_EQ(*table.Find(2), 20);
    EXPECT_EQ(table.Find(0), nullptr);
    int link = 0;
    EXPECT_TRUE(table.Remove(first, link));
    EXPECT_EQ(link, 10);
    EXPECT_FALSE(table.Remove(first, link));
    EXPECT_FALSE(table.Remove(0, link));
    // Not the old handle again: a caller still holding the closed handle cannot reach the new link.
    EXPECT_EQ(table.Add(30), 3u);
    EXPECT_EQ(table.Find(first), nullptr);
}

TEST(LinkTableTest, AFullTableLeavesTheLinkWithTheCallerAndRemovingHandsItBack) {
    TLinkTable<std::unique_ptr<int>, 1> table;
    const uint32_t handle = table.Add(std::make_unique<int>(1));
    auto refused = std::make_unique<int>(2);
    EXPECT_EQ(table.Add(std::move(refused)), 0u);
    ASSERT_NE(refused, nullptr);
    std::unique_ptr<int> removed;
    ASSERT_TRUE(table.Remove(handle, removed));
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(*removed, 1);
}

} // namespace
