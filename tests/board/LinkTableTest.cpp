#include "board/LinkTable.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(LinkTableTest, HandlesCountUpFromOneAndFindTheirLinks) {
    TLinkTable<int, 4> table;
    const uint32_t first = table.Add(10);
    const uint32_t second = table.Add(20);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    ASSERT_NE(table.Find(first), nullptr);
    EXPECT_EQ(*table.Find(first), 10);
    ASSERT_NE(table.Find(second), nullptr);
    EXPECT_EQ(*table.Find(second), 20);
    EXPECT_EQ(table.Find(0), nullptr);
    EXPECT_EQ(table.Find(3), nullptr);
}

TEST(LinkTableTest, ARemovedHandleIsGoneAndItsSlotTakesANewHandle) {
    TLinkTable<int, 2> table;
    const uint32_t first = table.Add(10);
    table.Add(20);
    EXPECT_TRUE(table.Full());
    int link = 0;
    EXPECT_TRUE(table.Remove(first, link));
    EXPECT_EQ(link, 10);
    EXPECT_EQ(table.Find(first), nullptr);
    EXPECT_FALSE(table.Remove(first, link));
    EXPECT_FALSE(table.Remove(0, link));
    EXPECT_FALSE(table.Full());
    // The freed slot takes the next handle, not the old one: a caller still holding the closed handle
    // cannot reach the new link.
    EXPECT_EQ(table.Add(30), 3u);
    EXPECT_EQ(table.Find(first), nullptr);
}

TEST(LinkTableTest, AFullTableLeavesTheLinkWithTheCaller) {
    TLinkTable<std::unique_ptr<int>, 1> table;
    EXPECT_NE(table.Add(std::make_unique<int>(1)), 0u);
    auto link = std::make_unique<int>(2);
    EXPECT_EQ(table.Add(std::move(link)), 0u);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(*link, 2);
}

TEST(LinkTableTest, RemovingHandsTheOwnedLinkBack) {
    TLinkTable<std::unique_ptr<int>, 2> table;
    const uint32_t handle = table.Add(std::make_unique<int>(7));
    std::unique_ptr<int> link;
    ASSERT_TRUE(table.Remove(handle, link));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(*link, 7);
}

} // namespace
