#include "framework/LArray.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int32_t> Items(const TArray<int32_t>& array) {
    std::vector<int32_t> out;
    for (int32_t i = 1; i <= array.GetCount(); ++i) out.push_back(array[i]);
    return out;
}

// Orders by the absolute value, so equal keys can hold different items.
class AbsComparator : public LComparator {
public:
    int32_t Compare(const void* a, const void* b, uint32_t, uint32_t) const override {
        const int32_t x = std::abs(*static_cast<const int32_t*>(a));
        const int32_t y = std::abs(*static_cast<const int32_t*>(b));
        return (x > y) - (x < y);
    }
    LComparator* Clone() const override { return new AbsComparator; }
    static inline int sLive = 0;
    AbsComparator() { ++sLive; }
    ~AbsComparator() override { --sLive; }
};

}  // namespace

TEST(LArray, IndexLastMeansTheLastItem) {
    TArray<int32_t> array;
    int32_t item = 99;
    EXPECT_FALSE(array.GetItem(LArray::index_Last, item));
    EXPECT_EQ(item, 99);  // nothing copied
    array.Append(1);
    array.Append(2);
    array.Append(3);
    ASSERT_TRUE(array.GetItem(LArray::index_Last, item));
    EXPECT_EQ(item, 3);
    EXPECT_FALSE(array.GetItem(0, item));
    EXPECT_FALSE(array.GetItem(4, item));
    EXPECT_FALSE(array.GetItem(-1, item));
    array.RemoveItems(1, LArray::index_Last);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2}));
}

TEST(LArray, InsertIndexesAreClamped) {
    TArray<int32_t> array;
    array.Append(1);
    array.Append(2);
    array.Append(3);
    EXPECT_EQ(array.InsertItem(1000, 4), 4);
    EXPECT_EQ(array.InsertItem(-5, 0), 1);
    EXPECT_EQ(array.InsertItems(2, 3, 7), 3);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{0, 1, 7, 7, 2, 3, 4}));
    EXPECT_EQ(array.InsertItems(0, 1, 9), 0);
    EXPECT_EQ(array.GetCount(), 7);
}

TEST(LArray, RemoveClipsTheCountAndIgnoresBadIndexes) {
    TArray<int32_t> array;
    for (int32_t i = 1; i <= 5; ++i) array.Append(i);
    array.RemoveItems(100, 4);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 3}));
    array.RemoveItems(1, 0);
    array.RemoveItems(1, 9);
    array.RemoveItems(-1, 1);
    EXPECT_EQ(array.GetCount(), 3);
    array.Remove(2);
    array.Remove(42);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 3}));
    int32_t last = 0;
    EXPECT_TRUE(array.PopLast(last));
    EXPECT_EQ(last, 3);
    EXPECT_TRUE(array.PopLast(last));
    EXPECT_FALSE(array.PopLast(last));
    EXPECT_EQ(last, 1);
}

TEST(LArray, DefaultComparatorForLongsIsSigned) {
    TArray<int32_t> array;
    for (int32_t v : {5, -3, 2147483647, -2147483647 - 1, 0, -1}) array.Append(v);
    array.Sort();
    EXPECT_TRUE(array.IsSorted());
    EXPECT_EQ(Items(array), (std::vector<int32_t>{-2147483647 - 1, -3, -1, 0, 5, 2147483647}));
    // Sorted arrays are searched by halving; every item must still be found.
    for (int32_t i = 1; i <= array.GetCount(); ++i) EXPECT_EQ(array.IndexOf(array[i]), i);
    EXPECT_EQ(array.IndexOf(4), 0);
    EXPECT_EQ(array.GetLockCount(), 0u);
}

TEST(LArray, ByteComparatorForOtherSizes) {
    struct Pair {
        uint8_t a, b;
    };
    TArray<Pair> array;
    array.Append({2, 1});
    array.Append({1, 9});
    array.Append({2, 0});
    array.Sort();
    EXPECT_EQ(array[1].a, 1);
    EXPECT_EQ(array[2].b, 0);
    EXPECT_EQ(array[3].b, 1);
    EXPECT_EQ(array.IndexOf({2, 0}), 2);
    EXPECT_EQ(array.IndexOf({2, 2}), 0);
}

TEST(LArray, UnsortedSearchIsLinearAndFindsTheFirst) {
    TArray<int32_t> array;
    for (int32_t v : {4, 1, 4, 2}) array.Append(v);
    EXPECT_FALSE(array.IsSorted());
    EXPECT_EQ(array.IndexOf(4), 1);
    EXPECT_EQ(array.IndexOf(2), 4);
    EXPECT_EQ(array.IndexOf(3), 0);
}

TEST(LArray, KeepSortedInsertsInOrderAndIgnoresTheIndex) {
    TArray<int32_t> array(nullptr, true);
    for (int32_t v : {5, 1, 3, 9, -2}) array.Append(v);
    EXPECT_EQ(array.InsertItem(1, 4), 4);  // index 1 asked for, position 4 given
    EXPECT_EQ(Items(array), (std::vector<int32_t>{-2, 1, 3, 4, 5, 9}));
    EXPECT_TRUE(array.IsSorted());
    EXPECT_EQ(array.InsertItemsAt(1, 1, nullptr), 0);  // no item, no insertion
    EXPECT_FALSE(array.Swap(1, 2));
    EXPECT_FALSE(array.Move(1, 2));
    // Assigning re-places the value.
    EXPECT_EQ(array.SetItem(1, 7), 5);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 3, 4, 5, 7, 9}));
}

TEST(LArray, KeepSortedKeepsEqualKeysInInsertionOrder) {
    TArray<int32_t> array(new AbsComparator, true, true);
    for (int32_t v : {3, -1, 2, 1, -3}) array.Append(v);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{-1, 1, 2, 3, -3}));
}

TEST(LArray, SetItemsOverwritesUpToTheEnd) {
    TArray<int32_t> array;
    for (int32_t v : {1, 2, 3, 4}) array.Append(v);
    array.Sort();
    EXPECT_EQ(array.SetItems(10, 3, 0), 3);
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 0, 0}));
    EXPECT_FALSE(array.IsSorted());
    EXPECT_EQ(array.SetItems(1, 5, 8), 0);
    EXPECT_EQ(array.SetItems(0, 1, 8), 0);
    EXPECT_EQ(array.SetItem(LArray::index_Last, 6), 4);
    EXPECT_EQ(array[4], 6);
}

TEST(LArray, SwapAndMove) {
    TArray<int32_t> array;
    for (int32_t v : {1, 2, 3, 4, 5}) array.Append(v);
    EXPECT_TRUE(array.Move(1, 4));
    EXPECT_EQ(Items(array), (std::vector<int32_t>{2, 3, 4, 1, 5}));
    EXPECT_TRUE(array.Move(5, 1));
    EXPECT_EQ(Items(array), (std::vector<int32_t>{5, 2, 3, 4, 1}));
    EXPECT_FALSE(array.Move(2, 2));
    EXPECT_FALSE(array.Move(0, 2));
    EXPECT_TRUE(array.Swap(1, LArray::index_Last));
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(array.Swap(1, 6));
}

TEST(LArray, LockedArrayRefusesStructuralChanges) {
    TArray<int32_t> array;
    array.Append(1);
    array.Lock();
    EXPECT_EQ(array.Append(2), 0);
    EXPECT_EQ(array.InsertItem(1, 3), 0);
    array.RemoveItems(1, 1);
    int32_t item;
    EXPECT_FALSE(array.PopLast(item));
    EXPECT_EQ(array.GetCount(), 1);
    array.Unlock();
    EXPECT_EQ(array.Append(2), 2);
}

TEST(LArray, GetItemWithSizeCopiesTheSmaller) {
    TArray<int32_t> array;
    array.Append(0x11223344);
    uint8_t buffer[8] = {};
    uint32_t size = 8;
    ASSERT_TRUE(array.FetchItemAt(1, buffer, size));
    EXPECT_EQ(size, 4u);
    size = 2;
    int16_t half = 0;
    ASSERT_TRUE(array.FetchItemAt(1, &half, size));
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(half, int16_t(0x3344));  // the first two bytes as stored
}

TEST(LArray, InsertingAnItemFromTheArrayItself) {
    TArray<int32_t> array;
    for (int32_t i = 0; i < 64; ++i) array.Append(i);
    // The source lives in the store, which moves as it grows.
    array.InsertItemsAt(1000, 1, array.ItemPtr(64));
    EXPECT_EQ(array.GetCount(), 1064);
    EXPECT_EQ(array[1], 63);
    EXPECT_EQ(array[1000], 63);
    EXPECT_EQ(array[1001], 0);
}

TEST(LArray, ComparatorOwnershipAndCopies) {
    ASSERT_EQ(AbsComparator::sLive, 0);
    {
        TArray<int32_t> array(new AbsComparator, false, true);
        array.Append(-3);
        array.Append(2);
        TArray<int32_t> copy(array);
        EXPECT_EQ(AbsComparator::sLive, 2);  // the copy cloned it
        copy.Sort();
        EXPECT_EQ(copy[1], 2);
        EXPECT_EQ(array[1], -3);
        // Installing another comparator frees the owned one and forgets the order.
        array.Sort();
        EXPECT_TRUE(array.IsSorted());
        array.UseDefaultComparator();
        EXPECT_EQ(AbsComparator::sLive, 1);
        EXPECT_FALSE(array.IsSorted());
        EXPECT_EQ(array.IndexOf(-3), 2);
        array = copy;
        EXPECT_EQ(AbsComparator::sLive, 2);
    }
    EXPECT_EQ(AbsComparator::sLive, 0);
    AbsComparator onStack;
    {
        TArray<int32_t> array(&onStack);
        array.Append(1);
    }  // not owned: not deleted
    EXPECT_EQ(AbsComparator::sLive, 1);
}

TEST(LArray, AtThrowsOnBadIndexButSubscriptDoesNot) {
    TArray<int32_t> array;
    EXPECT_EQ(array[1], 0);
    EXPECT_THROW(array.At(1), LException);
    array.Append(5);
    EXPECT_EQ(array.At(LArray::index_Last), 5);
}

TEST(LArray, KeepSortedArrayResortsWithANewComparator) {
    TArray<int32_t> array(nullptr, true);
    for (int32_t v : {-5, 1, 3}) array.Append(v);
    array.SetComparator(std::make_unique<AbsComparator>());
    EXPECT_EQ(Items(array), (std::vector<int32_t>{1, 3, -5}));
    EXPECT_TRUE(array.IsSorted());
    EXPECT_EQ(array.IndexOf(-3), 2);  // halving search with the new order
}
