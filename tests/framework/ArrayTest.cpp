// The framework's 1-based dynamic array and its iterators, which must stay
// on course while the array changes under them.
#include "framework/LArray.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using Ints = std::vector<int32_t>;

Ints Items(const TArray<int32_t>& array) {
    Ints out;
    for (int32_t i = 1; i <= array.GetCount(); ++i) out.push_back(array[i]);
    return out;
}

TArray<int32_t> Of(const Ints& values, LComparator* comparator = nullptr) {
    TArray<int32_t> array(comparator, false, comparator != nullptr);
    for (int32_t v : values) array.Append(v);
    return array;
}

// Orders by the absolute value, so equal keys can hold different items.
class AbsComparator : public LComparator {
public:
    int32_t Compare(const void* a, const void* b, uint32_t, uint32_t) const override {
        const int32_t x = std::abs(*static_cast<const int32_t*>(a)), y = std::abs(*static_cast<const int32_t*>(b));
        return (x > y) - (x < y);
    }
    LComparator* Clone() const override { return new AbsComparator; }
    static inline int sLive = 0;
    AbsComparator() { ++sLive; }
    ~AbsComparator() override { --sLive; }
};

}  // namespace

TEST(LArray, IndexesAreCheckedClampedOrIgnored) {
    TArray<int32_t> array = Of({1, 2, 3});
    int32_t item = 99;
    ASSERT_TRUE(array.GetItem(LArray::index_Last, item));
    EXPECT_EQ(item, 3);
    for (int32_t bad : {0, 4, -1}) EXPECT_FALSE(array.GetItem(bad, item));
    EXPECT_EQ(array.InsertItem(1000, 4), 4);
    EXPECT_EQ(array.InsertItem(-5, 0), 1);
    EXPECT_EQ(Items(array), (Ints{0, 1, 2, 3, 4}));
    array.RemoveItems(100, 4);  // clipped at the end
    array.RemoveItems(1, 0);
    array.RemoveItems(1, 9);
    array.RemoveItems(-1, 1);
    array.Remove(42);
    EXPECT_EQ(Items(array), (Ints{0, 1, 2}));
    array.RemoveItems(1, LArray::index_Last);
    EXPECT_EQ(Items(array), (Ints{0, 1}));
    EXPECT_TRUE(array.PopLast(item));
    EXPECT_EQ(item, 1);
    EXPECT_EQ(array[2], 0);
    EXPECT_THROW(array.At(2), LException);
}

TEST(LArray, AnItemOfTheArrayItselfSurvivesTheStoreGrowingUnderIt) {
    TArray<int32_t> big;
    for (int32_t i = 0; i < 64; ++i) big.Append(i);
    big.InsertItemsAt(1000, 1, big.ItemPtr(64));
    EXPECT_EQ(big[1000], 63);
    EXPECT_EQ(big[1001], 0);
}

TEST(LArray, OwnedComparatorsAreClonedAndFreed) {
    ASSERT_EQ(AbsComparator::sLive, 0);
    {
        TArray<int32_t> array = Of({-3, 2}, new AbsComparator);
        TArray<int32_t> copy(array);
        EXPECT_EQ(AbsComparator::sLive, 2);
        copy.Sort();
        EXPECT_EQ(Items(copy), (Ints{2, -3}));
        array.Sort();
        array.UseDefaultComparator();  // frees the owned one and forgets the order
        EXPECT_EQ(AbsComparator::sLive, 1);
        EXPECT_FALSE(array.IsSorted());
        array = copy;
        EXPECT_EQ(AbsComparator::sLive, 2);
    }
    EXPECT_EQ(AbsComparator::sLive, 0);
    AbsComparator onStack;
    { TArray<int32_t> array(&onStack); }  // not owned: not deleted
    EXPECT_EQ(AbsComparator::sLive, 1);
    TArray<int32_t> resorted = Of({-5, 1, 3});
    resorted.SetComparator(std::make_unique<AbsComparator>());
    resorted.Sort();
    EXPECT_EQ(Items(resorted), (Ints{1, 3, -5}));
    EXPECT_EQ(resorted.IndexOf(-3), 2);  // equal keys are found
}

// --- iterators over a changing array ------------------------------------------

struct WalkCase {
    const char* name;
    int32_t count;                            // items 10, 20, ...
    bool backward;
    int32_t at;                               // the item at which the array changes
    std::function<void(TArray<int32_t>&)> change;
    Ints seen, left;
};

void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }

class ArrayWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(ArrayWalk, VisitsWhatIsStillAhead) {
    const WalkCase& c = GetParam();
    TArray<int32_t> array;
    for (int32_t i = 1; i <= c.count; ++i) array.Append(i * 10);
    TArrayIterator<int32_t> it(array, c.backward ? LArrayIterator::from_End : LArrayIterator::from_Start);
    Ints seen;
    int32_t item;
    while (c.backward ? it.Previous(item) : it.Next(item)) {
        seen.push_back(item);
        if (item == c.at) c.change(array);
    }
    EXPECT_EQ(seen, c.seen);
    EXPECT_EQ(Items(array), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    LArrayIterator, ArrayWalk,
    ::testing::Values(
        WalkCase{"RemoveRangeOverCurrent", 6, false, 30, [](auto& a) { a.RemoveItems(3, 2); },
                 {10, 20, 30, 50, 60}, {10, 50, 60}},
        WalkCase{"RemoveBeforeCurrent", 5, false, 30, [](auto& a) { a.RemoveItems(2, 1); },
                 {10, 20, 30, 40, 50}, {30, 40, 50}},
        WalkCase{"InsertBeforeAtAndAfter", 3, false, 20,
                 [](auto& a) {
                     a.InsertItem(1, 1);   // before: not visited
                     a.InsertItem(3, 2);   // at the current index: not visited
                     a.InsertItem(5, 25);  // right after: visited
                     a.Append(40);
                 },
                 {10, 20, 25, 30, 40}, {1, 10, 2, 20, 25, 30, 40}},
        WalkCase{"InsertWhereTheCurrentWas", 4, false, 20,
                 [](auto& a) {
                     a.Remove(20);
                     a.InsertItem(2, 15);
                 },
                 {10, 20, 30, 40}, {10, 15, 30, 40}},
        WalkCase{"BackwardWithRemovals", 5, true, 40,
                 [](auto& a) {
                     a.Remove(40);
                     a.Remove(50);
                 },
                 {50, 40, 30, 20, 10}, {10, 20, 30}}),
    [](const auto& info) { return std::string(info.param.name); });
