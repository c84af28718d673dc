// The movie preview's frames: the after frame from filters and the video
// segment under the current time, the buffers and their release, and
// playback with the repeat task.
#include <gtest/gtest.h>

#include <cstring>

#include "model/DescriptionTime.h"
#include "model/SChangeInfo.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/Movie.h"
#include "support/PreviewWindow.h"

using namespace previewtest;

namespace {

// Low-quality JPEG for the first second, lossless PNG for the second.
void AddJpegThenPng(CTambleVideoDocModel& model) {
    std::vector<std::unique_ptr<Handle>> segments;
    for (auto [codec, quality, start] : {std::tuple{FourCC("jpeg"), 0, 0}, {FourCC("png "), 0x200, 600}}) {
        segments.push_back(std::make_unique<Handle>(MakeVideoSettings(codec, quality)));
        ASSERT_TRUE(SetDescriptionTime(segments.back().get(), STimeValue{start, 600}, STimeValue{start + 600, 600}));
    }
    model.LayVideoSegments(std::move(segments));
}

void GoTo(PreviewWindow& w, int32_t time600) {
    w.model.SetCurrentTime(STimeValue{time600, 600});
    w.preview->SpendTime(EventRecord{});
}

TEST(MoviePreviewAfterImage, TheCodecOfTheSegmentUnderTheCurrentTimeShowsInTheAfterFrame) {
    PreviewWindow w(700, 520);
    w.Open(GradientMovie());
    AddJpegThenPng(w.model);
    w.ChooseTab(3);
    for (int32_t t : {300, 900, 300}) {  // and back into the JPEG segment
        GoTo(w, t);
        w.Grab();
        ASSERT_TRUE(w.preview->HasProcessedSet());
        const OffscreenWorld &source = *w.preview->GetSourceFrame(), &after = *w.preview->GetProcessedFrame();
        EXPECT_LT(Blockiness(source), 1.2);
        if (t == 300) {
            EXPECT_GT(Blockiness(after), 1.5) << "JPEG blocks show in the after frame";
            EXPECT_GT(Blockiness(after, &source), 1.5);
        } else {  // the lossless segment leaves the frame as it is
            for (int y = 0; y < source.Height(); ++y)
                ASSERT_EQ(std::memcmp(after.Row(y), source.Row(y), size_t(source.Width()) * 3), 0) << y;
        }
    }
}

TEST(MoviePreviewAfterImage, WithoutSegmentsTheCodecTabShowsTheFilteredFrame) {
    PreviewWindow w;
    w.Open(BarsMovie());
    w.model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}})));
    w.ChooseTab(3);
    w.Grab();
    ASSERT_TRUE(w.preview->HasProcessedSet());
    auto saturation = [](const OffscreenWorld& world) {
        const uint8_t* p = world.Row(240) + 100 * 3;
        return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
    };
    EXPECT_GT(saturation(*w.preview->GetSourceFrame()), 60);
    EXPECT_LT(saturation(*w.preview->GetProcessedFrame()), 12);  // grey: no colour left
}

TEST(MoviePreviewBuffers, ReleasedByMessageRebuiltByTheNextDrawAndDroppedByEdits) {
    PreviewWindow w;
    w.Open(BarsMovie());
    EXPECT_TRUE(w.preview->HasSourceSet()) << "made when the model is set";
    EXPECT_FALSE(w.preview->HasProcessedSet()) << "only in split mode";
    w.ChooseTab(2);
    w.Grab();
    EXPECT_TRUE(w.preview->HasProcessedSet());
    w.preview->OnMessage(msg_ReleasePreviewImages, nullptr);
    EXPECT_FALSE(w.preview->HasSourceSet() || w.preview->HasProcessedSet());
    w.Grab();
    EXPECT_TRUE(w.preview->HasSourceSet() && w.preview->HasProcessedSet());
    // A filter change drops the after frame.
    w.model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 3}})));
    EXPECT_FALSE(w.preview->HasProcessedSet());
    EXPECT_TRUE(w.preview->HasSourceSet());
}

// Stepping redraws the frame of the new time once; deactivation pauses and
// activation resumes only what was playing; a repeat pass moves a time
// inside an excluded span past it before it shows a frame (playing through
// it on the clock is a benchmark).
TEST(MoviePreviewPlayback, SteppingPausingAndExcludedSpans) {
    PreviewWindow w;
    w.Open(BarsMovie());
    std::vector<int64_t> shown;
    w.preview->SetFrameShownObserver([&](int64_t t) { shown.push_back(t); });
    auto topRows = [&] {
        const uint8_t* p = w.preview->GetSourceFrame()->Pixels();
        return std::vector<uint8_t>(p, p + 640 * 3 * 10);
    };
    const std::vector<uint8_t> first = topRows();
    for (MessageT message : {msg_StepForward, MessageT(0), msg_GoToEnd, msg_GoToStart}) {
        if (message) w.preview->OnMessage(message, nullptr);
        w.preview->SpendTime(EventRecord{});  // the same time is not drawn again
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], w.model.GetMovie()->VisualSampleTimes()[1]);
    EXPECT_EQ(topRows(), first);

    w.preview->OnMessage(msg_Play, nullptr);
    ASSERT_TRUE(w.model.IsPlaying());
    EXPECT_FALSE(w.preview->ShowsCropHandles());
    w.preview->Deactivate();
    EXPECT_FALSE(w.model.IsPlaying());
    w.preview->Activate();
    EXPECT_TRUE(w.model.IsPlaying());
    w.preview->OnMessage(msg_Stop, nullptr);
    w.preview->Deactivate();
    w.preview->Activate();
    EXPECT_FALSE(w.model.IsPlaying());
    EXPECT_TRUE(w.preview->ShowsCropHandles());

    w.model.AddExcludedRange(TimeRange(STimeValue{300, 600}, STimeValue{720, 600}));
    w.model.Play();
    w.model.SetCurrentTime(STimeValue{360, 600});
    shown.clear();
    w.preview->SpendTime(EventRecord{});
    w.model.Stop();
    EXPECT_GE(w.model.GetCurrentTime().ValueIn(600), 720);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_GE(shown[0] * 600, int64_t(720) * w.model.GetMovie()->TimeScale());
}

}  // namespace
