#include "framework/LArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

TArray<int32_t> Numbers(int32_t n) {
    TArray<int32_t> array;
    for (int32_t i = 1; i <= n; ++i) array.Append(i * 10);
    return array;
}

}  // namespace

TEST(LArrayIterator, WalksBothWays) {
    TArray<int32_t> array = Numbers(3);
    std::vector<int32_t> seen;
    TArrayIterator<int32_t> forward(array);
    int32_t item;
    while (forward.Next(item)) seen.push_back(item);
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30}));
    seen.clear();
    TArrayIterator<int32_t> backward(array, LArrayIterator::from_End);
    while (backward.Previous(item)) seen.push_back(item);
    EXPECT_EQ(seen, (std::vector<int32_t>{30, 20, 10}));
    // After the end, Previous walks back from the last item.
    EXPECT_FALSE(forward.Next(item));
    ASSERT_TRUE(forward.Previous(item));
    EXPECT_EQ(item, 30);
}

TEST(LArrayIterator, EmptyArray) {
    TArray<int32_t> array;
    TArrayIterator<int32_t> it(array);
    int32_t item;
    EXPECT_FALSE(it.Next(item));
    EXPECT_FALSE(it.Previous(item));
}

TEST(LArrayIterator, RemovingTheCurrentItemContinuesWithTheNext) {
    TArray<int32_t> array = Numbers(5);
    TArrayIterator<int32_t> it(array);
    std::vector<int32_t> seen;
    int32_t item;
    while (it.Next(item)) {
        seen.push_back(item);
        if (item == 20) array.Remove(20);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30, 40, 50}));
    EXPECT_EQ(array.GetCount(), 4);
}

TEST(LArrayIterator, RemovingEveryItemAsItGoes) {
    TArray<int32_t> array = Numbers(4);
    TArrayIterator<int32_t> it(array);
    std::vector<int32_t> seen;
    int32_t item;
    while (it.Next(item)) {
        seen.push_back(item);
        array.RemoveItems(1, 1);
        EXPECT_FALSE(it.Current(item));
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30, 40}));
    EXPECT_TRUE(array.IsEmpty());
}

TEST(LArrayIterator, RemovingTheLastItemEndsTheWalk) {
    TArray<int32_t> array = Numbers(3);
    TArrayIterator<int32_t> it(array);
    int32_t item;
    it.Next(item);
    it.Next(item);
    it.Next(item);
    array.RemoveItems(1, 3);
    EXPECT_FALSE(it.Next(item));
}

TEST(LArrayIterator, RemovingARangeThatCoversTheCurrentItem) {
    TArray<int32_t> array = Numbers(6);
    TArrayIterator<int32_t> it(array);
    int32_t item;
    it.Next(item);
    it.Next(item);
    it.Next(item);  // 30
    array.RemoveItems(3, 2);  // 20, 30, 40
    ASSERT_TRUE(it.Next(item));
    EXPECT_EQ(item, 50);
}

TEST(LArrayIterator, RemovingBeforeTheCurrentItemDoesNotSkip) {
    TArray<int32_t> array = Numbers(5);
    TArrayIterator<int32_t> it(array);
    int32_t item;
    it.Next(item);
    it.Next(item);
    it.Next(item);  // 30 at index 3
    array.RemoveItems(2, 1);  // 10 and 20
    EXPECT_EQ(it.GetCurrentIndex(), 1);
    ASSERT_TRUE(it.Next(item));
    EXPECT_EQ(item, 40);
}

TEST(LArrayIterator, InsertionsAfterAreVisitedAtOrBeforeAreNot) {
    TArray<int32_t> array = Numbers(3);
    TArrayIterator<int32_t> it(array);
    std::vector<int32_t> seen;
    int32_t item;
    while (it.Next(item)) {
        seen.push_back(item);
        if (item == 20) {
            array.InsertItem(1, 1);   // before: not visited
            array.InsertItem(3, 2);   // at the current index: not visited
            array.InsertItem(5, 25);  // right after: visited
            array.Append(40);         // at the end: visited
        }
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 25, 30, 40}));
}

TEST(LArrayIterator, InsertionAfterARemovalAtTheNextIndex) {
    TArray<int32_t> array = Numbers(4);
    TArrayIterator<int32_t> it(array);
    std::vector<int32_t> seen;
    int32_t item;
    while (it.Next(item)) {
        seen.push_back(item);
        if (item == 20) {
            array.Remove(20);         // next is now 30 at index 2
            array.InsertItem(2, 15);  // goes in where 20 was: not visited
        }
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30, 40}));
}

TEST(LArrayIterator, BackwardWalkWithRemovals) {
    TArray<int32_t> array = Numbers(5);
    TArrayIterator<int32_t> it(array, LArrayIterator::from_End);
    std::vector<int32_t> seen;
    int32_t item;
    while (it.Previous(item)) {
        seen.push_back(item);
        if (item == 40) array.Remove(40);
        if (item == 30) array.Remove(50);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{50, 40, 30, 20, 10}));
    EXPECT_EQ(array.GetCount(), 3);
}

TEST(LArrayIterator, SeveralIteratorsAreAllKeptUpToDate) {
    TArray<int32_t> array = Numbers(5);
    TArrayIterator<int32_t> a(array), b(array);
    int32_t item;
    a.Next(item);
    a.Next(item);  // 20
    for (int i = 0; i < 4; ++i) b.Next(item);  // 40
    {
        TArrayIterator<int32_t> c(array);  // attaches and detaches in the middle of the list
        c.Next(item);
    }
    array.RemoveItems(1, 1);
    ASSERT_TRUE(a.Next(item));
    EXPECT_EQ(item, 30);
    ASSERT_TRUE(b.Next(item));
    EXPECT_EQ(item, 50);
}

TEST(LArrayIterator, ArrayDestroyedDuringTheWalk) {
    auto array = std::make_unique<TArray<int32_t>>(Numbers(3));
    TArrayIterator<int32_t> it(*array);
    int32_t item;
    ASSERT_TRUE(it.Next(item));
    array.reset();
    EXPECT_FALSE(it.Next(item));
    EXPECT_FALSE(it.Previous(item));
    EXPECT_EQ(it.GetArray(), nullptr);
}
