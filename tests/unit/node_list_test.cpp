// NodeList: order, counts and the cursor rules that the interpreter relies on.
#include <gtest/gtest.h>

#include "setup/core/node_list.h"

namespace {

struct Item {
    Item* next;
    int value;
};

TEST(NodeList, AppendPushFrontPopKeepOrderAndCount)
{
    NodeList<Item> list = {};
    Item a{nullptr, 1}, b{nullptr, 2}, c{nullptr, 3};
    Append(list, &b);
    Append(list, &c);
    PushFront(list, &a);
    EXPECT_EQ(Count(list), 3);
    EXPECT_EQ(list.tail, &c);
    EXPECT_EQ(PopFront(list), &a);
    EXPECT_EQ(a.next, nullptr);
    EXPECT_EQ(PopFront(list), &b);
    EXPECT_EQ(PopFront(list), &c);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(PopFront(list), nullptr);
    EXPECT_EQ(Count(list), 0);
}

TEST(NodeList, CursorStaysOnLastNodeAndIgnoresPop)
{
    NodeList<Item> list = {};
    Item a{nullptr, 1}, b{nullptr, 2};
    EXPECT_EQ(First(list), nullptr);
    EXPECT_EQ(Current(list), nullptr);
    Append(list, &a);
    Append(list, &b);
    EXPECT_EQ(First(list), &a);
    EXPECT_EQ(Next(list), &b);
    EXPECT_EQ(Next(list), nullptr);
    EXPECT_EQ(Current(list), &b);
    PopFront(list);
    EXPECT_EQ(Current(list), &b);
}

TEST(NodeList, AppendAfterPushFrontOnEmptyListSetsTail)
{
    NodeList<Item> list = {};
    Item a{nullptr, 1}, b{nullptr, 2};
    PushFront(list, &a);
    Append(list, &b);
    EXPECT_EQ(list.head, &a);
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(list.tail, &b);
}

} // namespace
