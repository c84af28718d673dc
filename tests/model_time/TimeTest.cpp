// Times as (value, scale) compared across scales, and spans of two of them.
#include "model/TimeRange.h"
#include "model/TimeValue.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(TimeValue, ComparesAcrossScales) {
    EXPECT_EQ(STimeValue{}, (STimeValue{0, 600}));
    EXPECT_EQ((STimeValue{300, 600}), (STimeValue{1, 2}));
    EXPECT_NE((STimeValue{1, 600}), (STimeValue{1, 1200}));
    EXPECT_EQ((STimeValue{0, 600}), (STimeValue{0, 44100}));
    const STimeValue second{600, 600}, second44k{44100, 44100}, justAfter{44101, 44100};
    EXPECT_TRUE(second <= second44k && second >= second44k && !(second < second44k));
    EXPECT_TRUE(second < justAfter && justAfter > second && !(justAfter <= second));
    EXPECT_TRUE((STimeValue{-1, 600}) < (STimeValue{0, 1200}));
    // Two large primes: the common scale is far beyond 32 bits.
    const STimeValue a{1000003, 1000003}, b{999983, 999983}, c{999984, 999983};
    EXPECT_EQ(a, b);
    EXPECT_TRUE(b < c && a < c);
}

TEST(TimeValue, CommonTimeScale) {
    const int32_t cases[][3] = {{600, 44100, 88200}, {44100, 600, 88200}, {600, 600, 600},
                                {90000, 44100, 4410000},  // a * b alone overflows 32 bits
                                {7, 13, 91}, {0, 600, 600}, {-5, 30, 30}, {0, -1, 1},
                                {1000003, 999983, kMax}};
    for (const auto& [a, b, lcm] : cases) EXPECT_EQ(CommonTimeScale(a, b), lcm) << a << " " << b;
}

TEST(TimeValue, ConvertTimeScaleRoundsAndGuards) {
    const int32_t cases[][4] = {{1, 3, 600, 200},       {1, 1200, 600, 0},  // (600 + 0.5) / 1200 truncated
                                {3, 1200, 600, 1},      {44100, 44100, 600, 600}, {1001, 30000, 600, 20},
                                {-600, 600, 600, -600}, {5, 0, 600, 0},     {5, -600, 600, 0},
                                {kMax, 1, 600, kMax},   {-kMax, 1, 600, std::numeric_limits<int32_t>::min()}};
    for (const auto& [value, from, to, expected] : cases)
        EXPECT_EQ(ConvertTimeScale(value, from, to), expected) << value << "/" << from;
    EXPECT_EQ((STimeValue{1, 2}).ValueIn(600), 300);
}

TEST(TimeValue, Midpoint) {
    EXPECT_EQ(MidpointOf({1, 600}, {1, 44100}), (STimeValue{(147 + 2) / 2, 88200}));
    EXPECT_EQ(MidpointOf({0, 600}, {601, 600}).value, 300);  // truncated
    EXPECT_EQ(MidpointOf({-3, 600}, {0, 600}).value, -1);   // toward zero
    EXPECT_EQ(MidpointOf({kMax, 600}, {kMax, 600}).value, kMax);
    const STimeValue far = MidpointOf({0, 1000003}, {999983, 999983});
    EXPECT_EQ(far.scale, 1000003);
    EXPECT_NEAR(far.value, 500001, 1);
}

TEST(TimeRange, EndsGivenBackwardsAreSwappedAndBothEndsAreInside) {
    EXPECT_EQ(TimeRange({900, 600}, {300, 600}).start.value, 300);
    const TimeRange mixed({1200, 600}, {44100, 44100});  // 1 s before 2 s
    EXPECT_EQ(mixed.start.scale, 44100);
    EXPECT_EQ(TimeRange({1, 600}, {2, 1200}).end.scale, 1200);  // equal ends stay as given
    const TimeRange r({600, 600}, {1200, 600});
    for (STimeValue in : {STimeValue{1, 1}, STimeValue{2, 1}, STimeValue{66150, 44100}}) EXPECT_TRUE(r.Contains(in));
    for (STimeValue out : {STimeValue{599, 600}, STimeValue{88201, 44100}}) EXPECT_FALSE(r.Contains(out));
}

}  // namespace
