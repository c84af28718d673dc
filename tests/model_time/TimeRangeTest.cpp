#include "model/TimeRange.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(TimeRange, EndsGivenBackwardsAreSwapped) {
    const TimeRange r({900, 600}, {300, 600});
    EXPECT_EQ(r.start.value, 300);
    EXPECT_EQ(r.end.value, 900);
    // Across scales: the end (1 s) lies before the start (2 s).
    const TimeRange mixed({1200, 600}, {44100, 44100});
    EXPECT_EQ(mixed.start.scale, 44100);
    EXPECT_EQ(mixed.end.value, 1200);
    // Equal ends stay as given.
    const TimeRange point({1, 600}, {2, 1200});
    EXPECT_EQ(point.start.scale, 600);
    EXPECT_EQ(point.end.scale, 1200);
}

TEST(TimeRange, BothEndsAreInside) {
    const TimeRange r({600, 600}, {1200, 600});
    EXPECT_TRUE(r.Contains({1, 1}));
    EXPECT_TRUE(r.Contains({2, 1}));
    EXPECT_TRUE(r.Contains({66150, 44100}));
    EXPECT_FALSE(r.Contains({599, 600}));
    EXPECT_FALSE(r.Contains({88201, 44100}));
}

TEST(TimeRangeComparator, ComparesStartsOnly) {
    TimeRangeComparator c;
    TimeRange a({0, 600}, {600, 600}), b({0, 1}, {5, 1}), later({1, 1}, {2, 1});
    const TimeRange* pa = &a;
    const TimeRange* pb = &b;
    const TimeRange* pl = &later;
    EXPECT_EQ(c.Compare(&pa, &pb, sizeof pa, sizeof pb), 0);
    EXPECT_FALSE(c.IsEqualTo(&pa, &pb, sizeof pa, sizeof pb));
    EXPECT_EQ(c.Compare(&pa, &pl, sizeof pa, sizeof pl), -1);
    EXPECT_EQ(c.Compare(&pl, &pa, sizeof pl, sizeof pa), 1);
    TimeRange same({0, 44100}, {1, 1});
    const TimeRange* ps = &same;
    EXPECT_TRUE(c.IsEqualTo(&pa, &ps, sizeof pa, sizeof ps));
    const TimeRange* none = nullptr;
    EXPECT_EQ(c.Compare(&none, &pa, sizeof none, sizeof pa), -1);
    EXPECT_FALSE(c.IsEqualTo(&none, &pa, sizeof none, sizeof pa));
}

TEST(TimeRangeComparator, SortsAnArrayOfRangePointers) {
    // As the model sorts its excluded ranges: install, sort, put the default back.
    std::vector<std::unique_ptr<TimeRange>> owned;
    TArray<TimeRange*> ranges;
    for (auto [s, scale] : std::vector<std::pair<int32_t, int32_t>>{{3, 1}, {600, 600}, {44100 * 2, 44100}, {0, 30}}) {
        owned.push_back(std::make_unique<TimeRange>(STimeValue{s, scale}, STimeValue{s + 10, scale}));
        ranges.Append(owned.back().get());
    }
    ranges.SetComparator(std::make_unique<TimeRangeComparator>());
    ranges.Sort();
    // Sorted by the range comparator, IndexOf finds ranges by value.
    TimeRange probe({2, 1}, {44100 * 2 + 10, 44100});
    EXPECT_EQ(ranges.IndexOf(&probe), 3);
    ranges.UseDefaultComparator();
    EXPECT_FALSE(ranges.IsSorted());
    EXPECT_EQ(ranges.IndexOf(&probe), 0);  // by address again
    std::vector<int32_t> seconds;
    for (int32_t i = 1; i <= ranges.GetCount(); ++i) seconds.push_back(ranges[i]->start.value / ranges[i]->start.scale);
    EXPECT_EQ(seconds, (std::vector<int32_t>{0, 1, 2, 3}));
}
