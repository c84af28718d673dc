#include "compress/DataRateTracker.h"

#include <gtest/gtest.h>

namespace {

DataRateTracker WithFrames(int count, int32_t size, int32_t duration = 20) {
    DataRateTracker t;
    t.Reset(DataRateTracker::kVideo);
    for (int i = 0; i < count; ++i) t.AddFrame(size + i, duration, i % 10 == 0);
    return t;
}

}  // namespace

TEST(DataRateTracker, WindowShowsTheLastSamplesThatFit) {
    DataRateTracker t = WithFrames(250, 1000);
    // 332 wide: a 300-pixel plot, three pixels per sample.
    auto w = t.WindowFor(332 - DataRateTracker::kLeftMargin);
    EXPECT_EQ(w.count, 100u);
    EXPECT_EQ(w.first, 150u);
    DataRateLayout layout = t.Layout(332, 200);
    ASSERT_EQ(layout.bars.size(), 100u);
    EXPECT_TRUE(layout.bars[0].keyFrame);   // sample 150 is a key frame
    EXPECT_FALSE(layout.bars[1].keyFrame);

    DataRateTracker few = WithFrames(7, 1000);
    auto fw = few.WindowFor(300);
    EXPECT_EQ(fw.first, 0u);
    EXPECT_EQ(fw.count, 7u);
}
