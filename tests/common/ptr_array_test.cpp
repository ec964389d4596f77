// PtrArray: growth by whole blocks, order kept on removal, clear.
#include "ptr_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void* tag(int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(0x1000 + i)); }

std::vector<int> contents(const PtrArray& a)
{
    std::vector<int> out;
    for (int i = 0; i < a.count; ++i)
        out.push_back(static_cast<int>(reinterpret_cast<intptr_t>(a.items[i]) - 0x1000));
    return out;
}

TEST(PtrArray, EmptyArrayHasNoStorage)
{
    PtrArray a;
    EXPECT_EQ(a.items, nullptr);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.blocks, 0);
    EXPECT_EQ(a.blockSize, 10);
}

TEST(PtrArray, FieldsAreInTheDocumentedOrder)
{
    EXPECT_EQ(offsetof(PtrArray, items), 0u);
    EXPECT_LT(offsetof(PtrArray, items), offsetof(PtrArray, count));
    EXPECT_EQ(offsetof(PtrArray, blocks), offsetof(PtrArray, count) + 4);
    EXPECT_EQ(offsetof(PtrArray, blockSize), offsetof(PtrArray, blocks) + 4);
}

struct GrowthCase {
    int appends;
    int blocks;
};

class PtrArrayGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(PtrArrayGrowth, GrowsOneBlockWhenFullAndReturnsTheNewCount)
{
    const GrowthCase c = GetParam();
    PtrArray a;
    for (int i = 0; i < c.appends; ++i)
        ASSERT_EQ(a.add(tag(i)), i + 1);
    EXPECT_EQ(a.count, c.appends);
    EXPECT_EQ(a.blocks, c.blocks);
    std::vector<int> expected;
    for (int i = 0; i < c.appends; ++i)
        expected.push_back(i);
    EXPECT_EQ(contents(a), expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PtrArrayGrowth,
                         ::testing::Values(GrowthCase{1, 1}, GrowthCase{9, 1}, GrowthCase{10, 1},
                                           GrowthCase{11, 2}, GrowthCase{20, 2}, GrowthCase{21, 3},
                                           GrowthCase{1000, 100}));

TEST(PtrArray, GrowthKeepsEarlierPointersAndStorageMoves)
{
    PtrArray a;
    for (int i = 0; i < 10; ++i)
        a.add(tag(i));
    void** before = a.items;
    a.add(tag(10));
    EXPECT_NE(a.items, before);  // a fresh block of 20 was allocated
    EXPECT_EQ(contents(a), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

struct RemoveCase {
    const char* name;
    int size;
    int index;
    std::vector<int> expected;
};

class PtrArrayRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(PtrArrayRemove, MovesLaterEntriesDownAndNeverShrinks)
{
    const RemoveCase& c = GetParam();
    PtrArray a;
    for (int i = 0; i < c.size; ++i)
        a.add(tag(i));
    const int blocks = a.blocks;
    a.removeAt(c.index);
    EXPECT_EQ(contents(a), c.expected) << c.name;
    EXPECT_EQ(a.blocks, blocks) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PtrArrayRemove,
    ::testing::Values(RemoveCase{"first", 4, 0, {1, 2, 3}}, RemoveCase{"middle", 4, 2, {0, 1, 3}},
                      RemoveCase{"last", 4, 3, {0, 1, 2}}, RemoveCase{"only", 1, 0, {}},
                      RemoveCase{"across blocks", 12, 5, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11}},
                      RemoveCase{"negative index ignored", 3, -1, {0, 1, 2}},
                      RemoveCase{"index past the end ignored", 3, 3, {0, 1, 2}}),
    [](const ::testing::TestParamInfo<RemoveCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST(PtrArray, RemoveByValueFindsTheFirstMatch)
{
    PtrArray a;
    a.add(tag(1));
    a.add(tag(2));
    a.add(tag(1));
    EXPECT_EQ(a.indexOf(tag(1)), 0);
    EXPECT_TRUE(a.remove(tag(1)));
    EXPECT_EQ(contents(a), (std::vector<int>{2, 1}));
    EXPECT_FALSE(a.remove(tag(7)));
    EXPECT_EQ(a.indexOf(tag(7)), -1);
}

TEST(PtrArray, ClearFreesStorageAndTheArrayIsReusable)
{
    PtrArray a;
    for (int i = 0; i < 15; ++i)
        a.add(tag(i));
    a.clear();
    EXPECT_EQ(a.items, nullptr);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.blocks, 0);
    EXPECT_EQ(a.add(tag(3)), 1);
    EXPECT_EQ(a.blocks, 1);
    EXPECT_EQ(contents(a), (std::vector<int>{3}));
}

TEST(PtrArray, ClearOfAnEmptyArrayIsHarmless)
{
    PtrArray a;
    a.clear();
    a.clear();
    EXPECT_EQ(a.count, 0);
}

}  // namespace
