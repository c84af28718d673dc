// Drawing speed of the panes that must keep up with a user: the four-up
// comparison after a frame step, the timeline while it scrolls, the preview
// while it plays. Wall-
// clock bounds, so they run as benchmarks (ctest label perf), not in CI.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <chrono>

#include "framework/LEventLoop.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "support/PreviewWindow.h"
#include "timeline/CVideoList.h"

using namespace previewtest;

namespace {

// Four 1920 x 1080 panes with H.264, VP9, JPEG and ProRes re-render after a
// frame step in well under a second together.
TEST(FourUpSpeed, FourFullHDPanesReRenderAfterAFrameStepInUnderOneSecond) {
    const fs::path movie = testsupport::FixtureMovie(
        "fourup_hd.mov", "-f lavfi -i testsrc2=size=1920x1080:rate=10:duration=1 -c:v mpeg4 -q:v 3 -g 5");
    FourUpWindow w(4, QSize(240, 180), 200);
    w.Open(movie);
    w.Connect();
    const OSType codecs[4] = {FourCC("avc1"), FourCC("vp09"), FourCC("jpeg"), FourCC("apcn")};
    for (int i = 0; i < 4; ++i) {
        Drop(*w.panes[size_t(i)], kFlavorVideoCodec, MakeVideoSettings(codecs[i]), "codec" + std::to_string(i) + ".qtcd");
        w.panes[size_t(i)]->UpdatePaneWorld();  // first build: encoders start up
        ASSERT_NE(w.panes[size_t(i)]->GetPaneWorld(), nullptr);
    }
    w.model.SetCurrentTime(STimeValue{60, 600});  // one frame on
    const auto start = std::chrono::steady_clock::now();
    for (CodecFourUp* pane : w.panes) pane->UpdatePaneWorld();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("four-up re-render of four 1920x1080 panes: %.3f s\n", seconds);
    for (CodecFourUp* pane : w.panes) EXPECT_GT(pane->GetCompressedSize(), 0) << pane->CodecLabel();
    EXPECT_LT(seconds, 1.0);
}

// 200 segments on two hours: a redraw of the frame, scrolled along, must
// stay well inside a 60 Hz frame.
TEST(VideoListSpeed, TwoHundredSegmentsOnTwoHoursDrawFast) {
    const fs::path movie = testsupport::FixtureMovie(
        "timeline_twohours.mov",
        "-f lavfi -i color=c=gray:s=64x48:r=1:d=7200 -f lavfi -i anullsrc=r=8000:cl=mono -t 7200 "
        "-c:v mpeg4 -g 600 -c:a aac -b:a 8k -shortest");
    CTambleVideoDocModel model;
    ASSERT_TRUE(model.SetSourceFile(Spec(movie)));
    CVideoList list;
    list.setFixedSize(1000, 125);
    list.show();
    list.FinishCreate();
    list.SetModel(&model);
    const int64_t duration = model.GetDuration().ValueIn(600);
    std::vector<std::unique_ptr<Handle>> segments;
    for (int i = 0; i < 200; ++i) {
        auto segment = std::make_unique<Handle>(MakeVideoSettings(i % 2 ? FourCC("avc1") : FourCC("mp4v")));
        SetDescriptionTime(segment.get(), STimeValue{int32_t(duration * i / 200), 600},
                           STimeValue{int32_t(duration * (i + 1) / 200), 600});
        segments.push_back(std::move(segment));
    }
    model.LayVideoSegments(std::move(segments));
    for (int i = 0; i < 5; ++i) list.ZoomIn();
    QImage image(list.viewport()->size(), QImage::Format_RGB32);
    QElapsedTimer timer;
    qint64 worst = 0, worstScroll = 0;
    const int frames = 60;
    for (int i = 0; i < frames; ++i) {
        timer.start();
        QPainter painter(&image);
        painter.translate(-list.GetScrollPosition());
        list.DrawInto(painter, list.CalcLocalFrameRect());
        painter.end();
        worst = std::max(worst, timer.nsecsElapsed());
        // A scroll step as the user sees it: move and repaint the frame.
        timer.start();
        list.ScrollImageBy(list.GetImageSize().width() / frames, 0, true);
        list.viewport()->repaint();
        worstScroll = std::max(worstScroll, timer.nsecsElapsed());
    }
    std::printf("timeline: %d segments, worst redraw %.3f ms, worst scroll step %.3f ms\n",
                model.VideoSegmentCount(), worst / 1e6, worstScroll / 1e6);
    EXPECT_LT(worst, 16'000'000);
    EXPECT_LT(worstScroll, 16'000'000);
}

// Played on the program's own event loop for 1.3 s, the preview keeps up
// with the clock and shows no frame of an excluded span.
TEST(PreviewPlaybackSpeed, PlayingFollowsTheClockAndSkipsExcludedSpans) {
    PreviewWindow w;
    w.Open(BarsMovie());
    w.model.AddExcludedRange(TimeRange(STimeValue{300, 600}, STimeValue{720, 600}));
    std::vector<int64_t> shown;
    w.preview->SetFrameShownObserver([&](int64_t t) { shown.push_back(t); });
    w.model.Play();
    {  // the program's event loop, and with it the repeat tasks, for a while
        LEventLoop loop;
        QEventLoop wait;
        QTimer::singleShot(1300, &wait, &QEventLoop::quit);
        wait.exec();
    }
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
