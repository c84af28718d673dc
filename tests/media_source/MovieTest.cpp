// Opening movies: what they describe, the frame times they list, playback
// against a clock the test moves, damaged files that no entry point may
// crash or hang on, and copying the tracks into a new file.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"
#include "platform/media/source/MovieRemux.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SoundPacketReader.h"
#include "platform/media/source/SoundReader.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
using namespace testsupport;

namespace {

// ffprobe's frame times in a movie's time scale, rounded up like the index.
std::vector<int64_t> ExpectedSampleTimes(const fs::path& file, int32_t scale) {
    std::vector<int64_t> times;
    for (double t : FrameTimes(file)) times.push_back(int64_t(std::ceil(t * scale - 1e-6)));
    return times;
}

std::vector<int64_t> Step(const Movie& movie, int direction) {
    std::vector<int64_t> visited;
    for (int64_t t = movie.NextVisualSampleTime(direction > 0 ? -1 : movie.Duration() + 1, direction); t >= 0;
         t = movie.NextVisualSampleTime(t, direction))
        visited.push_back(t);
    if (direction < 0) std::reverse(visited.begin(), visited.end());
    return visited;
}

TEST(MovieOpen, DescribesTheMovie) {
    auto movie = Movie::Open(MarkerMovie().string());
    EXPECT_EQ(movie->TimeScale(), 1000);  // the mvhd time scale the muxer wrote
    EXPECT_EQ(movie->Duration(), 3000);
    EXPECT_EQ(movie->BoxWidth(), 160);
    EXPECT_EQ(movie->BoxHeight(), 120);
    EXPECT_TRUE(movie->HasVideo());
    EXPECT_FALSE(movie->HasAudio());
    EXPECT_NEAR(movie->VideoFrameRate(), 10.0, 1e-6);
    EXPECT_EQ(movie->CurrentTime() + movie->Rate(), 0);
    // The box applies the display rotation and the pixel aspect; the
    // current frame is drawn upright at the box's size.
    auto rotated = Movie::Open(RotatedMarkerMovie().string());
    EXPECT_EQ(std::pair(rotated->BoxWidth(), rotated->BoxHeight()), std::pair(120, 160));
    OffscreenWorld world;
    ASSERT_EQ(rotated->DrawCurrentFrame(world), noErr);
    EXPECT_EQ(std::pair(world.Width(), world.Height()), std::pair(120, 160));
    auto wide = Movie::Open(WidePixelMovie().string());
    EXPECT_EQ(std::pair(wide->BoxWidth(), wide->BoxHeight()), std::pair(320, 120));
    // Other containers count in 600ths.
    auto mkv = Movie::Open(CountingMatroska().string());
    EXPECT_EQ(mkv->TimeScale(), 600);
    EXPECT_NEAR(double(mkv->Duration()), 1800.0, 1.0);
}

TEST(MovieSampleTimes, SteppingVisitsExactlyTheFramesFfprobeListsBothWays) {
    for (const fs::path& file : {CountingMovie(false), CountingMovie(true), VariableRateMovie(), MarkerMovie(),
                                 MovieWithSound(), TrimmedCountingMovie(), CountingMatroska()}) {
        auto movie = Movie::Open(file.string());
        const std::vector<int64_t> expected = ExpectedSampleTimes(file, movie->TimeScale());
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Step(*movie, 1), expected) << file;
        EXPECT_EQ(Step(*movie, -1), expected) << file;
        EXPECT_EQ(movie->VisualSampleTimes(), expected) << file;
    }
    // From inside a frame, next and previous are strict: frames at 0, 100, 500, 600 ms ...
    auto vfr = Movie::Open(VariableRateMovie().string());
    const int64_t cases[][3] = {{0, 1, 100}, {100, 1, 500}, {300, 1, 500}, {300, -1, 100}, {500, -1, 100}, {0, -1, -1}};
    for (const auto& [from, direction, next] : cases) EXPECT_EQ(vfr->NextVisualSampleTime(from, direction), next);
    EXPECT_EQ(vfr->NextVisualSampleTime(vfr->Duration(), 1), -1);
}

// A clock the test moves by hand.
std::chrono::steady_clock::time_point gFakeNow{};
std::chrono::steady_clock::time_point FakeNow() { return gFakeNow; }

TEST(MoviePlayback, TaskAdvancesWithTheClockAtTheRateAndStopsAtEitherEnd) {
    auto movie = Movie::Open(CountingMovie().string());
    movie->SetClockForTesting(&FakeNow);
    gFakeNow = {};
    movie->SetCurrentTime(500);
    // Rate (1/65536), milliseconds passed, the time after.
    const int64_t steps[][3] = {{kFixedOne, 250, 750},
                                {2 * kFixedOne, 500, 1750},  // the time so far counted at the old rate
                                {-kFixedOne / 2, 1000, 1250},
                                {0, 10000, 1250},
                                {kFixedOne, 5000, 3000},  // stops at the end
                                {-kFixedOne, 5000, 0}};   // and at the start
    for (const auto& [rate, millis, after] : steps) {
        movie->SetRate(int32_t(rate));
        gFakeNow += std::chrono::milliseconds(millis);
        movie->Task();
        EXPECT_EQ(movie->CurrentTime(), after) << rate;
        if (after % 3000 == 0) {
            EXPECT_EQ(movie->Rate(), 0);
        }
    }
    movie->SetCurrentTime(-50);
    EXPECT_EQ(movie->CurrentTime(), 0);
    movie->SetCurrentTime(movie->Duration() + 999);
    EXPECT_EQ(movie->CurrentTime(), movie->Duration());
    movie->SetCurrentTime(1250);  // inside frame 12
    OffscreenWorld world;
    ASSERT_EQ(movie->DrawCurrentFrame(world), noErr);
    EXPECT_EQ(FrameNumberShown(world), 12);
}

// Runs everything the program does with a source movie; exceptions are
// the expected way to refuse.
void UseEverything(const fs::path& file) {
    ErrorCode([&] {
        auto movie = Movie::Open(file.string());
        for (int64_t t = movie->NextVisualSampleTime(-1, 1), n = 0; t >= 0 && n < 100; ++n)
            t = movie->NextVisualSampleTime(t, 1);
        if (movie->HasVideo()) {
            MovieFrameRenderer renderer(*movie);
            OffscreenWorld world;
            for (int64_t t : {int64_t(0), movie->Duration() / 2, movie->Duration(), int64_t(10)})
                renderer.DrawFrameAt(t, world);
        }
        if (movie->HasAudio()) {
            auto sound = SoundReader::Open(file.string());
            DecodedSound block;
            for (int64_t t = 0; t < 4; ++t) sound->Read(t * 600, (t + 1) * 600, 600, block);
            auto packets = SoundPacketReader::Open(file.string());
            EncodedPacket packet;
            for (int n = 0; n < 10000 && packets->Next(packet); ++n) {
            }
        }
    });
    ErrorCode([&] { MovieUserData::Read(file.string()); });
}

TEST(DamagedMovie, CorruptedBytesAnywhereNeverCrash) {
    const fs::path dir = ScratchDir();
    for (const fs::path& source : {MovieWithSound(), CountingMovie(true)}) {
        const std::string good = ReadBytes(source);
        uint32_t seed = 12345;
        for (int round = 0; round < 24; ++round) {
            std::string bad = good;
            // A burst of changed bytes, more often near the front where the
            // movie resource of a faststart file lives.
            seed = seed * 1103515245u + 12345u;
            const size_t at = (seed >> 8) % (round % 2 ? bad.size() : std::min<size_t>(bad.size(), 4000));
            for (size_t i = at; i < std::min(bad.size(), at + 16); ++i) {
                seed = seed * 1103515245u + 12345u;
                bad[i] = char(seed >> 16);
            }
            WriteBytes(dir / "bad.mp4", bad);
            UseEverything(dir / "bad.mp4");
        }
    }
}

TEST(MovieRemux, CopiesEveryTrackKeepsTheRotationReplacesTheDestinationOrLeavesItOnFailure) {
    const fs::path dir = ScratchDir();
    const auto streams = [](const fs::path& f) { return Probe(f, "-show_entries stream=codec_name,nb_frames"); };
    for (const char* name : {"copy.mov", "copy.mp4"}) {
        RemuxMovie(MovieWithSound().string(), (dir / name).string());
        EXPECT_EQ(streams(dir / name), streams(MovieWithSound())) << name;
        EXPECT_EQ(DecodedChecksums(dir / name), DecodedChecksums(MovieWithSound())) << name;
    }
    EXPECT_EQ(Probe(dir / "copy.mp4", "-show_entries format_tags=major_brand"), "isom");
    EXPECT_EQ(Probe(dir / "copy.mov", "-show_entries format_tags=major_brand"), "qt");
    WriteBytes(dir / "turned.mov", std::string(100, '\1'));
    RemuxMovie(RotatedMarkerMovie().string(), (dir / "turned.mov").string());
    auto movie = Movie::Open((dir / "turned.mov").string());
    EXPECT_EQ(std::pair(movie->BoxWidth(), movie->BoxHeight()), std::pair(120, 160));
    EXPECT_EQ(movie->VisualSampleTimes(), Movie::Open(RotatedMarkerMovie().string())->VisualSampleTimes());

    const std::string kept = ReadBytes(dir / "copy.mov");
    WriteBytes(dir / "broken.mov", std::string(500, 'B'));
    EXPECT_NE(ErrorCode([&] { RemuxMovie((dir / "broken.mov").string(), (dir / "copy.mov").string()); }, false), 0);
    EXPECT_EQ(ReadBytes(dir / "copy.mov"), kept);
    EXPECT_EQ(ErrorCode([&] { RemuxMovie(MarkerMovie().string(), (dir / "missing" / "x.mov").string()); }, false),
              ioErr);
    EXPECT_EQ(FileNames(dir).size(), 4u);  // no temporary file left behind
}

}  // namespace
