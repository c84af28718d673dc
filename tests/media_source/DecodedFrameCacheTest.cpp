// Stepping with the decoded-frame cache shows exactly the frames that one
// straight decode from the start shows: after Go to End, back across a key
// frame and forward again, whether the background has caught up or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/media/source/DecodedFrameCache.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"
#include "support/SourceMovies.h"

using namespace fixtures;

namespace {

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
