// The movie preview's frames: the after frame from filters and the video
// segment under the current time, the buffers and their release, model
// changes, activation, and playback with the repeat task.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <cstring>
#include <set>

#include "PreviewTestSupport.h"
#include "framework/LEventLoop.h"
#include "model/DescriptionTime.h"
#include "model/SChangeInfo.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/Movie.h"

using namespace previewtest;

namespace {

// A video segment for [start, end) in 1/600 s.
void AddSegment(CTambleVideoDocModel& model, OSType codec, int32_t quality, int32_t start, int32_t end) {
    auto segment = std::make_unique<Handle>(MakeVideoSettings(codec, quality));
    ASSERT_TRUE(SetDescriptionTime(segment.get(), STimeValue{start, 600}, STimeValue{end, 600}));
    model.VideoSegments().Append(std::move(segment));
    model.VideoSegmentChanged();
}

void GoTo(PreviewWindow& w, int32_t time600) {
    w.model.SetCurrentTime(STimeValue{time600, 600});
    w.preview->SpendTime(EventRecord{});
}

// Runs the program's event loop (and with it the repeat tasks) for a while.
void RunLoopFor(int milliseconds) {
    LEventLoop loop;
    QEventLoop wait;
    QTimer::singleShot(milliseconds, &wait, &QEventLoop::quit);
    wait.exec();
}

TEST(MoviePreviewAfterImage, TheCodecOfTheSegmentUnderTheCurrentTimeShowsInTheAfterFrame) {
    PreviewWindow w(700, 520);
    w.Open(GradientMovie());
    AddSegment(w.model, FourCC("jpeg"), 0, 0, 600);         // low-quality JPEG for the first second
    AddSegment(w.model, FourCC("png "), 0x200, 600, 1200);  // lossless after it
    w.ChooseTab(3);
    GoTo(w, 300);
    w.Grab();
    ASSERT_TRUE(w.preview->HasProcessedSet());
    const OffscreenWorld& source = *w.preview->GetSourceFrame();
    const double smooth = Blockiness(source);
    const double jpeg = Blockiness(*w.preview->GetProcessedFrame());
    EXPECT_LT(smooth, 1.2);
    EXPECT_GT(jpeg, 1.5) << "JPEG blocks show in the after frame";
    EXPECT_GT(ErrorBlockiness(*w.preview->GetProcessedFrame(), source), 1.5);

    GoTo(w, 900);
    w.Grab();
    const OffscreenWorld& after = *w.preview->GetProcessedFrame();
    const OffscreenWorld& now = *w.preview->GetSourceFrame();
    ASSERT_EQ(after.Width(), now.Width());
    long differing = 0;
    for (int y = 0; y < now.Height(); ++y)
        differing += std::memcmp(after.Row(y), now.Row(y), size_t(now.Width()) * 3) != 0;
    EXPECT_EQ(differing, 0) << "the lossless segment leaves the frame as it is";
    EXPECT_LT(Blockiness(after), 1.2);

    GoTo(w, 300);  // and back into the JPEG segment
    w.Grab();
    EXPECT_GT(Blockiness(*w.preview->GetProcessedFrame()), 1.5);
}

TEST(MoviePreviewAfterImage, ATimeOnASegmentsEndBelongsToTheNextSegment) {
    PreviewWindow w;
    w.Open(GradientMovie());
    AddSegment(w.model, FourCC("jpeg"), 0, 0, 600);
    AddSegment(w.model, FourCC("png "), 0x200, 600, 1200);
    GoTo(w, 599);
    EXPECT_EQ(w.preview->FindActiveSegment(), w.model.GetVideoSegment(1));
    GoTo(w, 600);
    EXPECT_EQ(w.preview->FindActiveSegment(), w.model.GetVideoSegment(2));
    GoTo(w, 1200);
    EXPECT_EQ(w.preview->FindActiveSegment(), nullptr);
}

TEST(MoviePreviewAfterImage, WithoutSegmentsTheCodecTabShowsTheFilteredFrame) {
    PreviewWindow w;
    w.Open(BarsMovie());
    w.model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("tint"), {{FourCC("tint"), 1}})));
    w.ChooseTab(3);
    w.Grab();
    ASSERT_TRUE(w.preview->HasProcessedSet());
    const OffscreenWorld& after = *w.preview->GetProcessedFrame();
    const OffscreenWorld& before = *w.preview->GetSourceFrame();
    // Grey tint: no colour left, where the source is colourful.
    auto saturation = [](const OffscreenWorld& world, int x, int y) {
        const uint8_t* p = world.Row(y) + x * 3;
        return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
    };
    EXPECT_GT(saturation(before, 100, 240), 60);
    EXPECT_LT(saturation(after, 100, 240), 12);
}

TEST(MoviePreviewBuffers, Message801ReleasesBothSetsAndTheNextDrawRebuildsThem) {
    PreviewWindow w;
    w.Open(BarsMovie());
    EXPECT_TRUE(w.preview->HasSourceSet()) << "made when the model is set";
    EXPECT_FALSE(w.preview->HasProcessedSet()) << "only in split mode";
    w.ChooseTab(2);
    w.Grab();
    EXPECT_TRUE(w.preview->HasProcessedSet());
    w.preview->OnMessage(msg_ReleasePreviewImages, nullptr);
    EXPECT_FALSE(w.preview->HasSourceSet());
    EXPECT_FALSE(w.preview->HasProcessedSet());
    w.Grab();
    EXPECT_TRUE(w.preview->HasSourceSet());
    EXPECT_TRUE(w.preview->HasProcessedSet());
}

TEST(MoviePreviewBuffers, FilterAndSegmentChangesDropTheAfterFrameOnlyInSplitMode) {
    PreviewWindow w;
    w.Open(BarsMovie());
    w.ChooseTab(2);
    w.Grab();
    ASSERT_TRUE(w.preview->HasProcessedSet());
    w.model.AddFilter(std::make_unique<Handle>(MakeEffectDescription(FourCC("blur"), {{FourCC("ksiz"), 3}})));
    EXPECT_FALSE(w.preview->HasProcessedSet());
    EXPECT_TRUE(w.preview->HasSourceSet());
    w.Grab();
    EXPECT_TRUE(w.preview->HasProcessedSet());
    w.model.SetCrop(10, 10, 200, 200);  // a crop change keeps it
    EXPECT_TRUE(w.preview->HasProcessedSet());
    w.ChooseTab(1);
    w.Grab();
    EXPECT_FALSE(w.preview->HasProcessedSet());
}

TEST(MoviePreviewPlayback, SteppingRedrawsTheFrameOfTheNewTime) {
    PreviewWindow w;
    w.Open(BarsMovie());
    std::vector<int64_t> shown;
    w.preview->SetFrameShownObserver([&](int64_t t) { shown.push_back(t); });
    const std::vector<uint8_t> first(w.preview->GetSourceFrame()->Pixels(),
                                     w.preview->GetSourceFrame()->Pixels() + 640 * 3 * 10);
    w.preview->OnMessage(msg_StepForward, nullptr);
    w.preview->SpendTime(EventRecord{});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], w.model.GetMovie()->VisualSampleTimes()[1]);
    w.preview->SpendTime(EventRecord{});
    EXPECT_EQ(shown.size(), 1u) << "the same time is not drawn again";
    w.preview->OnMessage(msg_GoToEnd, nullptr);
    w.preview->SpendTime(EventRecord{});
    w.preview->OnMessage(msg_GoToStart, nullptr);
    w.preview->SpendTime(EventRecord{});
    ASSERT_EQ(shown.size(), 3u);
    const std::vector<uint8_t> again(w.preview->GetSourceFrame()->Pixels(),
                                     w.preview->GetSourceFrame()->Pixels() + 640 * 3 * 10);
    EXPECT_EQ(first, again);
}

TEST(MoviePreviewPlayback, DeactivationPausesAndActivationResumesOnlyWhatWasPlaying) {
    PreviewWindow w;
    w.Open(BarsMovie());
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
}

TEST(MoviePreviewPlayback, PlayingFollowsTheClockAndSkipsExcludedSpans) {
    PreviewWindow w;
    w.Open(BarsMovie());
    w.model.AddExcludedRange(TimeRange(STimeValue{300, 600}, STimeValue{720, 600}));
    std::vector<int64_t> shown;
    w.preview->SetFrameShownObserver([&](int64_t t) { shown.push_back(t); });
    w.model.Play();
    RunLoopFor(1300);
    w.model.Stop();
    const int32_t scale = w.model.GetMovie()->TimeScale();
    ASSERT_GE(shown.size(), 4u) << "frames were drawn while playing";
    EXPECT_GE(w.model.GetCurrentTime().ValueIn(600), 720) << "time moved on past the span";
    for (int64_t t : shown) {
        const double seconds = double(t) / scale;
        EXPECT_FALSE(seconds > 0.5 + 1e-6 && seconds < 1.2 - 1e-6) << "excluded frame shown at " << seconds;
    }
}

}  // namespace
