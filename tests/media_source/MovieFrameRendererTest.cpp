#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "SourceFixtures.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"

using namespace fixtures;

namespace {

enum class Colour { Black, Red, Green, Other };

Colour ColourAt(const OffscreenWorld& w, int x, int y) {
    const uint8_t* p = w.Row(y) + x * w.BytesPerPixel();
    if (p[0] < 50 && p[1] < 50 && p[2] < 50) return Colour::Black;
    if (p[0] > 180 && p[1] < 80 && p[2] < 80) return Colour::Red;
    if (p[1] > 180 && p[0] < 80 && p[2] < 80) return Colour::Green;
    return Colour::Other;
}

const char* Name(Colour c) {
    switch (c) {
        case Colour::Black: return "black";
        case Colour::Red: return "red";
        case Colour::Green: return "green";
        default: return "other";
    }
}

// The compression job's matrix for the marker movie (160 x 120).
MovieMatrix JobMatrix(bool flipH, bool flipV, int rotation) {
    const double w = 160, h = 120;
    MovieMatrix m;
    if (flipH) m.FlipHorizontal(w);
    if (flipV) m.FlipVertical(h);
    if (rotation) {
        m.Rotate(rotation);
        if (rotation == 90) m.Translate(h, 0);
        if (rotation == 180) m.Translate(w, h);
        if (rotation == 270) m.Translate(0, w);
    }
    return m;
}

int GreyFrameAt(MovieFrameRenderer& r, OffscreenWorld& w, int64_t t) {
    EXPECT_EQ(r.DrawFrameAt(t, w), noErr);
    return FrameNumberOfGrey(w.Row(w.Height() / 2)[3 * (w.Width() / 2)]);
}

TEST(MovieFrameRendererTest, UprightFramesMatchFfmpegsDecode) {
    for (const auto& file :
         {MarkerMovie(), RotatedMarkerMovie(), CountingMovie(), MovieWithSound(), TrimmedCountingMovie()}) {
        auto movie = Movie::Open(file.string());
        MovieFrameRenderer renderer(*movie);
        OffscreenWorld world;
        for (int frame : {0, 7, 13}) {
            int width = 0, height = 0;
            std::vector<uint8_t> reference = ReferenceFrame(file, frame, width, height);
            ASSERT_EQ(renderer.DrawFrameAt(movie->VisualSampleTimes()[frame], world), noErr);
            EXPECT_LT(MeanDifference(world, reference, width, height), 3.0) << file << " frame " << frame;
        }
    }
}

TEST(MovieFrameRendererTest, FlipsAndTurnsPutTheMarkersWhereTheMatrixSays) {
    auto movie = Movie::Open(MarkerMovie().string());
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    const MoviePoint redCentre{20, 15}, greenCentre{140, 15}, middle{80, 80};
    for (int flipH = 0; flipH < 2; ++flipH)
        for (int flipV = 0; flipV < 2; ++flipV)
            for (int rotation : {0, 90, 180, 270}) {
                MovieMatrix m = JobMatrix(flipH, flipV, rotation);
                MovieRect out = m.MapRect(MovieRect::OfSize(160, 120));
                renderer.SetMatrix(m, int(out.Width()), int(out.Height()));
                ASSERT_EQ(renderer.DrawFrameAt(0, world), noErr);
                ASSERT_EQ(world.Width(), int(out.Width()));
                MoviePoint red = m.MapPoint(redCentre), green = m.MapPoint(greenCentre), black = m.MapPoint(middle);
                std::string where = "flipH " + std::to_string(flipH) + " flipV " + std::to_string(flipV) +
                                    " rotation " + std::to_string(rotation);
                EXPECT_STREQ(Name(ColourAt(world, int(red.x), int(red.y))), "red") << where;
                EXPECT_STREQ(Name(ColourAt(world, int(green.x), int(green.y))), "green") << where;
                EXPECT_STREQ(Name(ColourAt(world, int(black.x), int(black.y))), "black") << where;
            }
}

TEST(MovieFrameRendererTest, CropAndScaleShowOnlyTheChosenPart) {
    auto movie = Movie::Open(MarkerMovie().string());
    MovieFrameRenderer renderer(*movie);
    // Crop (left 20, top 0, right 140, bottom 60), shown twice as large.
    MovieMatrix m;
    m.Translate(-20, 0);
    m.Concat(MovieMatrix::RectMatrix(MovieRect::OfSize(120, 60), MovieRect::OfSize(240, 120)));
    renderer.SetMatrix(m, 240, 120);
    OffscreenWorld world(1, 1, OffscreenWorld::Format::RGBA32);
    ASSERT_EQ(renderer.DrawFrameAt(0, world), noErr);
    ASSERT_EQ(world.Width(), 240);
    ASSERT_EQ(world.Height(), 120);
    EXPECT_EQ(world.PixelFormat(), OffscreenWorld::Format::RGBA32);
    // Red covered source x 0..40, of which 20..40 shows: output x 0..40, y 0..60.
    EXPECT_STREQ(Name(ColourAt(world, 20, 30)), "red");
    EXPECT_STREQ(Name(ColourAt(world, 50, 30)), "black");
    EXPECT_STREQ(Name(ColourAt(world, 20, 80)), "black");
    // Green covered source x 120..160, of which 120..140 shows: output 200..240.
    EXPECT_STREQ(Name(ColourAt(world, 220, 30)), "green");
    EXPECT_STREQ(Name(ColourAt(world, 190, 30)), "black");
    EXPECT_EQ(world.Row(60)[4 * 120 + 3], 255);  // opaque
}

TEST(MovieFrameRendererTest, OutputOutsideThePictureIsBlack) {
    auto movie = Movie::Open(MarkerMovie().string());
    MovieFrameRenderer renderer(*movie);
    MovieMatrix m;
    m.Translate(100, 50);  // the picture's top-left corner lands at (100, 50)
    renderer.SetMatrix(m, 200, 100);
    OffscreenWorld world;
    world.Allocate(200, 100);
    world.Fill(255, 255, 255);
    ASSERT_EQ(renderer.DrawFrameAt(0, world), noErr);
    EXPECT_STREQ(Name(ColourAt(world, 10, 10)), "black");
    EXPECT_STREQ(Name(ColourAt(world, 110, 60)), "red");
    EXPECT_STREQ(Name(ColourAt(world, 199, 99)), "black");
}

TEST(MovieFrameRendererTest, RotatedFootageTurnedBackMatchesTheOriginal) {
    auto rotated = Movie::Open(RotatedMarkerMovie().string());
    MovieFrameRenderer renderer(*rotated);
    // The box is 120 x 160; the display matrix turned it counter-clockwise,
    // so a clockwise quarter turn (moved back by the box height) undoes it.
    MovieMatrix m;
    m.Rotate(90);
    m.Translate(160, 0);
    renderer.SetMatrix(m, 160, 120);
    OffscreenWorld world;
    ASSERT_EQ(renderer.DrawFrameAt(0, world), noErr);
    int width = 0, height = 0;
    std::vector<uint8_t> reference = ReferenceFrame(MarkerMovie(), 0, width, height);
    EXPECT_LT(MeanDifference(world, reference, width, height), 3.0);
}

TEST(MovieFrameRendererTest, WidePixelsAreDrawnWide) {
    auto movie = Movie::Open(WidePixelMovie().string());
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    ASSERT_EQ(renderer.DrawFrameAt(0, world), noErr);
    ASSERT_EQ(world.Width(), 320);
    EXPECT_STREQ(Name(ColourAt(world, 70, 15)), "red");    // stored x 35
    EXPECT_STREQ(Name(ColourAt(world, 90, 15)), "black");  // stored x 45
    EXPECT_STREQ(Name(ColourAt(world, 250, 15)), "green"); // stored x 125
}

TEST(MovieFrameRendererTest, ForwardDrawingDecodesSequentiallyWithoutSeeking) {
    auto movie = Movie::Open(CountingMovie().string());
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    const auto& times = movie->VisualSampleTimes();
    ASSERT_EQ(times.size(), 30u);
    for (size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(GreyFrameAt(renderer, world, times[i]), int(i));
        EXPECT_EQ(renderer.LastFrameTime(), times[i]);
        // Half a frame later the same frame still shows.
        EXPECT_EQ(GreyFrameAt(renderer, world, times[i] + 50), int(i));
    }
    EXPECT_EQ(renderer.SeekCount(), 0);
    // Past the last frame, the last frame stays.
    EXPECT_EQ(GreyFrameAt(renderer, world, movie->Duration()), 29);
}

TEST(MovieFrameRendererTest, GoingBackOrFarAheadSeeksAndStillFindsTheFrame) {
    auto movie = Movie::Open(CountingMovie().string());
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    EXPECT_EQ(GreyFrameAt(renderer, world, 2000), 20);
    EXPECT_EQ(GreyFrameAt(renderer, world, 1030), 10);  // back: between two key frames
    EXPECT_GT(renderer.SeekCount(), 0);
    int seeks = renderer.SeekCount();
    EXPECT_EQ(GreyFrameAt(renderer, world, 2790), 27);  // far ahead
    EXPECT_LE(renderer.SeekCount(), seeks + 1);
    EXPECT_EQ(GreyFrameAt(renderer, world, 0), 0);
    EXPECT_EQ(GreyFrameAt(renderer, world, 99), 0);
    EXPECT_EQ(GreyFrameAt(renderer, world, 100), 1);
}

TEST(MovieFrameRendererTest, VariableFrameRateShowsTheLastFrameStarted) {
    auto movie = Movie::Open(VariableRateMovie().string());
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    // Source frames kept: 0, 1, 5, 6, 10, 11, ... at their original times.
    EXPECT_EQ(GreyFrameAt(renderer, world, 0), 0);
    EXPECT_EQ(GreyFrameAt(renderer, world, 300), 1);
    EXPECT_EQ(GreyFrameAt(renderer, world, 499), 1);
    EXPECT_EQ(GreyFrameAt(renderer, world, 500), 5);
    EXPECT_EQ(GreyFrameAt(renderer, world, 1700), 16);
    EXPECT_EQ(renderer.SeekCount(), 0);
}

TEST(MovieFrameRendererTest, MovieWithoutPicturesIsRefused) {
    auto movie = Movie::Open(SoundOnlyPcm().string());
    try {
        MovieFrameRenderer renderer(*movie);
        FAIL() << "a renderer for a sound-only movie";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kTrackNotInMovieErr);
    }
}

}  // namespace
