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
    EXPECT_EQ(layout.bars.front().x, 32);
    EXPECT_EQ(layout.bars.back().x, 32 + 3 * 99);
    EXPECT_TRUE(layout.bars[0].keyFrame);   // sample 150 is a key frame
    EXPECT_FALSE(layout.bars[1].keyFrame);

    DataRateTracker few = WithFrames(7, 1000);
    auto fw = few.WindowFor(300);
    EXPECT_EQ(fw.first, 0u);
    EXPECT_EQ(fw.count, 7u);
}

TEST(DataRateTracker, ResetKeepsSamplesAndSwitchesLists) {
    DataRateTracker t = WithFrames(5, 1000);
    t.Reset(DataRateTracker::kAudio);
    EXPECT_EQ(t.TimeMarkInterval(), 8400);
    EXPECT_TRUE(t.ShownSamples().empty());
    t.AddSoundChunk(4000, 600);
    EXPECT_EQ(t.ShownSamples().size(), 1u);
    EXPECT_FALSE(t.ShownSamples()[0].keyFrame);
    t.Reset(DataRateTracker::kVideo);
    EXPECT_EQ(t.ShownSamples().size(), 5u);
    EXPECT_EQ(t.TimeMarkInterval(), 600);
}

TEST(DataRateTracker, VerticalScaleSnapsToStepsAndKeepsSmallChanges) {
    DataRateTracker t;
    t.Reset(DataRateTracker::kVideo);
    for (int i = 0; i < 30; ++i) t.AddFrame(20000, 20, false);
    DataRateLayout a = t.Layout(332, 221);  // 200-pixel plot
    // The largest one-second total sampled at eighths (index 27: 28 frames,
    // 560000 bytes) raises the top to a tenth of it, 56000, which snaps up
    // to 6 × 10240; the baseline 20000 snaps down to 0.
    EXPECT_EQ(a.step, 10240);
    EXPECT_EQ(a.largest, 61440);
    EXPECT_EQ(a.baseline, 0);
    EXPECT_FLOAT_EQ(a.scale, 200.0f / 61440.0f);
    for (const auto& tick : a.ticks) EXPECT_EQ(tick.value % a.step, 0);

    // A slightly different range (less than 10 %) keeps the old scale.
    const float before = t.Scale();
    t.AddFrame(21000, 20, false);
    t.Layout(332, 221);
    EXPECT_FLOAT_EQ(t.Scale(), before);

    // A much larger frame changes it.
    for (int i = 0; i < 5; ++i) t.AddFrame(900000, 20, true);
    t.Layout(332, 221);
    EXPECT_LT(t.Scale(), before / 1.1f);
}

TEST(DataRateTracker, BarsAndRateLineUseTheSameBaseline) {
    DataRateTracker t;
    t.Reset(DataRateTracker::kVideo);
    t.AddFrame(50000, 600, true);
    t.AddFrame(10000, 600, false);
    DataRateLayout l = t.Layout(332, 221);
    ASSERT_EQ(l.bars.size(), 2u);
    EXPECT_LT(l.bars[0].top, l.bars[1].top);  // the bigger frame's bar is taller
    // Each sample covers a whole second, so its one-second total is itself.
    EXPECT_EQ(l.rateLine[0].y, l.plotBottom - int(float(50000 / 10 - l.baseline) * l.scale));
}

TEST(DataRateTracker, TimeMarksSpreadOutWhenTooClose) {
    // 30 frames a second at 3 pixels each: one-second marks would be 90 px
    // apart, fine. At 600/60 per frame (60 fps) they are still 180 px.
    // With 1-second samples they would be 3 px apart, so the interval grows.
    DataRateTracker t;
    t.Reset(DataRateTracker::kVideo);
    for (int i = 0; i < 90; ++i) t.AddFrame(1000, 600, false);
    DataRateLayout l = t.Layout(332, 221);
    ASSERT_GE(l.timeMarks.size(), 2u);
    for (size_t i = 1; i < l.timeMarks.size(); ++i) EXPECT_GE(l.timeMarks[i].x - l.timeMarks[i - 1].x, 40);
    EXPECT_GT(t.TimeMarkInterval(), 600);
    for (const auto& m : l.timeMarks) EXPECT_EQ(m.time % 600, 0);

    DataRateTracker steady;
    steady.Reset(DataRateTracker::kVideo);
    for (int i = 0; i < 90; ++i) steady.AddFrame(1000, 20, false);  // 30 fps
    DataRateLayout s = steady.Layout(332, 221);
    ASSERT_EQ(s.timeMarks.size(), 3u);
    EXPECT_EQ(s.timeMarks[0].time, 600);
    EXPECT_EQ(s.timeMarks[0].x, 32 + 3 * 29);
    EXPECT_EQ(steady.TimeMarkInterval(), 600);
}
