#include "model/TimeValue.h"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

TEST(TimeValue, DefaultIsZeroInScale600) {
    STimeValue t;
    EXPECT_EQ(t.value, 0);
    EXPECT_EQ(t.scale, 600);
}

TEST(TimeValue, EqualAcrossScales) {
    EXPECT_EQ((STimeValue{1, 600}), (STimeValue{2, 1200}));
    EXPECT_EQ((STimeValue{300, 600}), (STimeValue{1, 2}));
    EXPECT_NE((STimeValue{1, 600}), (STimeValue{1, 1200}));
    EXPECT_EQ((STimeValue{0, 600}), (STimeValue{0, 44100}));
}

TEST(TimeValue, OrderAcrossScales) {
    const STimeValue second600{600, 600}, second44k{44100, 44100}, justAfter{44101, 44100};
    EXPECT_FALSE(second600 < second44k);
    EXPECT_TRUE(second600 <= second44k);
    EXPECT_TRUE(second600 >= second44k);
    EXPECT_TRUE(second600 < justAfter);
    EXPECT_TRUE(justAfter > second600);
    EXPECT_FALSE(justAfter <= second600);
    EXPECT_TRUE((STimeValue{-1, 600}) < (STimeValue{0, 1200}));
}

TEST(TimeValue, ScalesWhoseCommonMultipleOverflowStillCompare) {
    // Two large primes: the common scale is far beyond 32 bits.
    const STimeValue a{1000003, 1000003}, b{999983, 999983}, c{999984, 999983};
    EXPECT_EQ(a, b);
    EXPECT_TRUE(b < c);
    EXPECT_TRUE(a < c);
    EXPECT_EQ(CommonTimeScale(1000003, 999983), std::numeric_limits<int32_t>::max());
}

TEST(TimeValue, CommonTimeScale) {
    EXPECT_EQ(CommonTimeScale(600, 44100), 88200);
    EXPECT_EQ(CommonTimeScale(44100, 600), 88200);
    EXPECT_EQ(CommonTimeScale(600, 600), 600);
    EXPECT_EQ(CommonTimeScale(90000, 44100), 4410000);  // a * b alone overflows 32 bits
    EXPECT_EQ(CommonTimeScale(7, 13), 91);
    EXPECT_EQ(CommonTimeScale(0, 600), 600);
    EXPECT_EQ(CommonTimeScale(-5, 30), 30);
    EXPECT_EQ(CommonTimeScale(0, -1), 1);
}

TEST(TimeValue, CommonTimeScaleMatchesTheCountDown) {
    // The count-down greatest common divisor, on a spread of real scales.
    const int32_t scales[] = {1, 2, 24, 25, 30, 600, 1000, 2997, 8000, 11025, 22050, 44100, 48000, 90000};
    for (int32_t a : scales)
        for (int32_t b : scales) {
            int32_t d = b;
            while (a % d != 0 || b % d != 0) --d;
            const int64_t expected = a == b ? a : int64_t(a) * b / d;
            if (expected <= std::numeric_limits<int32_t>::max()) {
                EXPECT_EQ(CommonTimeScale(a, b), expected) << a << " " << b;
            }
        }
}

TEST(TimeValue, ConvertTimeScaleRounding) {
    EXPECT_EQ(ConvertTimeScale(1, 3, 600), 200);
    EXPECT_EQ(ConvertTimeScale(1, 1200, 600), 0);  // (600 + 0.5) / 1200 truncated
    EXPECT_EQ(ConvertTimeScale(3, 1200, 600), 1);
    EXPECT_EQ(ConvertTimeScale(44100, 44100, 600), 600);
    EXPECT_EQ(ConvertTimeScale(1001, 30000, 600), 20);
    EXPECT_EQ(ConvertTimeScale(-600, 600, 600), -600);  // same scale: unchanged
    EXPECT_EQ((STimeValue{1, 2}).ValueIn(600), 300);
}

TEST(TimeValue, ConvertTimeScaleGuards) {
    EXPECT_EQ(ConvertTimeScale(5, 0, 600), 0);
    EXPECT_EQ(ConvertTimeScale(5, -600, 600), 0);
    const int32_t big = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(ConvertTimeScale(big, 1, 600), big);
    EXPECT_EQ(ConvertTimeScale(-big, 1, 600), std::numeric_limits<int32_t>::min());
}

TEST(TimeValue, Midpoint) {
    const STimeValue mid = MidpointOf({1, 600}, {1, 44100});
    EXPECT_EQ(mid.scale, 88200);
    EXPECT_EQ(mid.value, (147 + 2) / 2);
    const STimeValue same = MidpointOf({0, 600}, {601, 600});
    EXPECT_EQ(same.scale, 600);
    EXPECT_EQ(same.value, 300);  // truncated
    const STimeValue negative = MidpointOf({-3, 600}, {0, 600});
    EXPECT_EQ(negative.value, -1);  // toward zero
    const int32_t big = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(MidpointOf({big, 600}, {big, 600}).value, big);
    const STimeValue far = MidpointOf({0, 1000003}, {999983, 999983});
    EXPECT_EQ(far.scale, 1000003);
    EXPECT_NEAR(far.value, 500001, 1);
}
