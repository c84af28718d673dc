// Drawing a movie's frames through a matrix: what ffmpeg decodes, placed
// where the matrix says, decoded in order without seeking; the matrix
// itself taken apart into the flips, turns and scales the drawing uses; and
// stepping with the decoded-frame cache, which must show exactly the frames
// of one straight decode from the start: after Go to End, back across a key
// frame and forward again, whether the background has caught up or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/media/source/DecodedFrameCache.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
namespace fs = std::filesystem;

namespace {

// 'k' black, 'r' red, 'g' green, '?' anything else.
char ColourAt(const OffscreenWorld& w, int x, int y) {
    const uint8_t* p = w.Row(y) + x * w.BytesPerPixel();
    if (p[0] < 50 && p[1] < 50 && p[2] < 50) return 'k';
    if (p[0] > 180 && p[1] < 80 && p[2] < 80) return 'r';
    if (p[1] > 180 && p[0] < 80 && p[2] < 80) return 'g';
    return '?';
}

// The colours at a list of points, as a string.
std::string ColoursAt(const OffscreenWorld& w, std::initializer_list<std::pair<int, int>> points) {
    std::string out;
    for (auto [x, y] : points) out += ColourAt(w, x, y);
    return out;
}

// The compression job's transform for a W x H movie: flips, a rotation
// followed by the translation that brings the picture back to (0, 0).
MovieMatrix JobMatrix(bool flipH, bool flipV, int rotation, double w = 160, double h = 120) {
    MovieMatrix m;
    if (flipH) m.FlipHorizontal(w);
    if (flipV) m.FlipVertical(h);
    m.Rotate(rotation);
    const double shift[4][2] = {{0, 0}, {h, 0}, {w, h}, {0, w}};
    m.Translate(shift[rotation / 90][0], shift[rotation / 90][1]);
    return m;
}

struct Rendering : ::testing::Test {
    std::unique_ptr<Movie> movie;
    std::unique_ptr<MovieFrameRenderer> renderer;
    OffscreenWorld world;
    void Open(const fs::path& file) {
        movie = Movie::Open(file.string());
        renderer = std::make_unique<MovieFrameRenderer>(*movie);
    }
    int FrameAt(int64_t t) {
        EXPECT_EQ(renderer->DrawFrameAt(t, world), noErr);
        return FrameNumberShown(world);
    }
};

TEST_F(Rendering, UprightFramesMatchFfmpegsDecode) {
    for (const auto& file : {MarkerMovie(), RotatedMarkerMovie(), CountingMovie(), MovieWithSound(),
                             TrimmedCountingMovie()}) {
        Open(file);
        for (int frame : {0, 7, 13}) {
            ASSERT_EQ(renderer->DrawFrameAt(movie->VisualSampleTimes()[frame], world), noErr);
            EXPECT_LT(DifferenceFromFrame(world, file, frame), 3.0) << file << " frame " << frame;
        }
    }
    // Wide pixels are drawn wide: stored x 35, 45 and 125.
    Open(WidePixelMovie());
    ASSERT_EQ(renderer->DrawFrameAt(0, world), noErr);
    ASSERT_EQ(world.Width(), 320);
    EXPECT_EQ(ColoursAt(world, {{70, 15}, {90, 15}, {250, 15}}), "rkg");
}

TEST_F(Rendering, CropScaleAndTheOutsideOfThePicture) {
    Open(MarkerMovie());
    // Crop (left 20, top 0, right 140, bottom 60), shown twice as large.
    MovieMatrix m;
    m.Translate(-20, 0);
    m.Concat(MovieMatrix::RectMatrix(MovieRect::OfSize(120, 60), MovieRect::OfSize(240, 120)));
    renderer->SetMatrix(m, 240, 120);
    world.Allocate(1, 1, OffscreenWorld::Format::RGBA32);
    ASSERT_EQ(renderer->DrawFrameAt(0, world), noErr);
    ASSERT_EQ(std::pair(world.Width(), world.Height()), std::pair(240, 120));
    EXPECT_EQ(world.PixelFormat(), OffscreenWorld::Format::RGBA32);
    // Red showed from source x 20..40 (output 0..40), green from 120..140 (output 200..240).
    EXPECT_EQ(ColoursAt(world, {{20, 30}, {50, 30}, {20, 80}, {220, 30}, {190, 30}}), "rkkgk");
    EXPECT_EQ(world.Row(60)[4 * 120 + 3], 255);  // opaque

    MovieMatrix moved;
    moved.Translate(100, 50);  // the picture's top-left corner lands at (100, 50)
    renderer->SetMatrix(moved, 200, 100);
    world.Allocate(200, 100);
    world.Fill(255, 255, 255);
    ASSERT_EQ(renderer->DrawFrameAt(0, world), noErr);
    EXPECT_EQ(ColoursAt(world, {{10, 10}, {110, 60}, {199, 99}}), "krk");
}

TEST_F(Rendering, ForwardDrawingDecodesInOrderWithoutSeeking) {
    Open(CountingMovie());
    const auto& times = movie->VisualSampleTimes();
    ASSERT_EQ(times.size(), 30u);
    for (size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(FrameAt(times[i]), int(i));
        EXPECT_EQ(renderer->LastFrameTime(), times[i]);
        EXPECT_EQ(FrameAt(times[i] + 50), int(i));  // half a frame later the same frame
    }
    EXPECT_EQ(renderer->SeekCount(), 0);
    EXPECT_EQ(FrameAt(movie->Duration()), 29);  // past the last frame, the last frame stays
    // Variable frame rate: source frames 0, 1, 5, 6, 10, 11, ... at their own times.
    Open(VariableRateMovie());
    for (auto [t, frame] : {std::pair{0, 0}, {300, 1}, {499, 1}, {500, 5}, {1700, 16}}) EXPECT_EQ(FrameAt(t), frame);
    EXPECT_EQ(renderer->SeekCount(), 0);
}

TEST(MovieMatrix, DecomposeRecoversEveryOrientationAndInverts) {
    // Every flip/rotation combination the document can ask for, with a
    // scaling after it, comes apart into steps that rebuild the matrix.
    for (int flips = 0; flips < 4; ++flips)
        for (int rotation : {0, 90, 180, 270}) {
            MovieMatrix m = JobMatrix(flips & 1, flips & 2, rotation, 320, 240);
            const MovieRect mapped = m.MapRect(MovieRect::OfSize(320, 240));
            m.Concat(MovieMatrix::RectMatrix(mapped, MovieRect::Make(5, 7, 5 + 0.5 * mapped.Width(),
                                                                         7 + 2 * mapped.Height())));
            const MatrixParts parts = m.Decompose();
            ASSERT_TRUE(parts.valid);
            MovieMatrix rebuilt;
            rebuilt.Scale(parts.scaleX, parts.scaleY);
            if (parts.mirrored) rebuilt.Scale(-1, 1);
            rebuilt.Rotate(90.0 * parts.quarterTurns);
            rebuilt.Translate(parts.translateX, parts.translateY);
            EXPECT_TRUE(rebuilt.NearlyEquals(m, 1e-9)) << "flips " << flips << " rotation " << rotation;
            EXPECT_EQ(parts.SwapsAxes(), rotation % 180 != 0);
            MovieMatrix inverse;
            ASSERT_TRUE(m.Invert(inverse));
            EXPECT_TRUE(MovieMatrix::Concat(m, inverse).IsIdentity());
        }
    EXPECT_EQ(JobMatrix(false, false, 90).At(0, 0), 0.0);  // no rounding residue from cos(90)
    EXPECT_EQ(JobMatrix(true, true, 0).Decompose().Orientation(), 2);  // both flips = half turn
    const MatrixParts v = JobMatrix(false, true, 0).Decompose();
    EXPECT_TRUE(v.mirrored && v.quarterTurns == 2);  // mirror left-right, then half a turn
    MovieMatrix tilted, skew, flat, inverse;
    tilted.Rotate(30);
    skew.Set(1, 0, 0.5);
    flat.Scale(0, 1);
    EXPECT_FALSE(tilted.Decompose().valid);
    EXPECT_FALSE(skew.Decompose().valid);
    EXPECT_FALSE(flat.Invert(inverse));
}


std::vector<uint8_t> Pixels(const OffscreenWorld& world) {
    std::vector<uint8_t> pixels;
    const size_t row = size_t(world.Width()) * world.BytesPerPixel();
    for (int y = 0; y < world.Height(); ++y) pixels.insert(pixels.end(), world.Row(y), world.Row(y) + row);
    return pixels;
}

struct Source {
    const char* name;
    std::filesystem::path (*movie)();
};

void PrintTo(const Source& source, std::ostream* out) { *out << source.name; }

class DecodedFrameCacheTest : public ::testing::TestWithParam<Source> {};

TEST_P(DecodedFrameCacheTest, StepsShowTheFramesOfAStraightDecode) {
    auto movie = Movie::Open(GetParam().movie().string());
    const std::vector<int64_t>& times = movie->VisualSampleTimes();
    ASSERT_GT(times.size(), 100u);
    std::vector<std::vector<uint8_t>> straight;
    {
        MovieFrameRenderer renderer(*movie);
        OffscreenWorld world;
        for (int64_t t : times) {
            ASSERT_EQ(renderer.DrawFrameAt(t, world), noErr);
            straight.push_back(Pixels(world));
        }
        ASSERT_EQ(renderer.SeekCount(), 0);
    }

    constexpr int kCapacity = 16;  // small, so that the steps outrun it
    DecodedFrameCache cache(*movie, kCapacity);
    OffscreenWorld world;
    auto expectFrameAt = [&](int64_t t) {
        const size_t index = size_t(std::upper_bound(times.begin(), times.end(), t) - times.begin()) - 1;
        ASSERT_EQ(cache.DrawFrameAt(t, world), noErr);
        EXPECT_TRUE(Pixels(world) == straight[index]) << "frame " << index << " at " << t;
    };

    // Go to End shows the last frame; stepping back from there lands on it.
    int64_t t = movie->Duration();
    expectFrameAt(t);
    for (int step = 0; step < 100; ++step) {
        cache.FillAround(t);
        // Now and then the user pauses long enough for the background.
        if (step % 4 == 0) {
            ASSERT_TRUE(cache.WaitUntilFilled(std::chrono::seconds(20)));
        }
        t = movie->NextVisualSampleTime(t, -1);
        expectFrameAt(t);
    }
    for (int step = 0; step < 30; ++step) {
        cache.FillAround(t);
        t = movie->NextVisualSampleTime(t, +1);
        expectFrameAt(t);
    }
    EXPECT_LE(cache.CachedFrames(), kCapacity);
}

INSTANTIATE_TEST_SUITE_P(Sources, DecodedFrameCacheTest,
                         ::testing::Values(Source{"LongGop", LongGopMovie},
                                           Source{"VariableRateBFrames", VariableRateBFrameMovie}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
