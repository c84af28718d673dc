#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "SourceFixtures.h"
#include "platform/media/source/Movie.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

int32_t ErrorOfOpening(const fs::path& file) {
    try {
        Movie::Open(file.string());
    } catch (const LException& e) {
        EXPECT_FALSE(e.Message().empty());
        return e.Code();
    }
    return 0;
}

// ffprobe's frame times in a movie's time scale, rounded up like the index.
std::vector<int64_t> ExpectedSampleTimes(const fs::path& file, int32_t scale) {
    std::vector<int64_t> times;
    for (double t : ProbeFrameTimes(file)) times.push_back(int64_t(std::ceil(t * scale - 1e-6)));
    return times;
}

std::vector<int64_t> StepThroughForward(const Movie& movie) {
    std::vector<int64_t> visited;
    int64_t t = movie.NextVisualSampleTime(-1, 1);
    while (t >= 0) {
        visited.push_back(t);
        t = movie.NextVisualSampleTime(t, 1);
    }
    return visited;
}

TEST(MovieOpenTest, DescribesAQuickTimeMovie) {
    auto movie = Movie::Open(MarkerMovie().string());
    EXPECT_EQ(movie->TimeScale(), 1000);  // the mvhd time scale the muxer wrote
    EXPECT_EQ(movie->Duration(), 3000);
    EXPECT_EQ(movie->BoxWidth(), 160);
    EXPECT_EQ(movie->BoxHeight(), 120);
    EXPECT_TRUE(movie->HasVideo());
    EXPECT_FALSE(movie->HasAudio());
    EXPECT_NEAR(movie->VideoFrameRate(), 10.0, 1e-6);
    EXPECT_EQ(movie->CurrentTime(), 0);
    EXPECT_EQ(movie->Rate(), 0);
}

TEST(MovieOpenTest, BoxAppliesDisplayRotationAndPixelAspect) {
    auto rotated = Movie::Open(RotatedMarkerMovie().string());
    EXPECT_EQ(rotated->BoxWidth(), 120);
    EXPECT_EQ(rotated->BoxHeight(), 160);
    auto wide = Movie::Open(WidePixelMovie().string());
    EXPECT_EQ(wide->BoxWidth(), 320);
    EXPECT_EQ(wide->BoxHeight(), 120);
}

TEST(MovieOpenTest, TellsPicturesFromSound) {
    auto both = Movie::Open(MovieWithSound().string());
    EXPECT_TRUE(both->HasVideo());
    EXPECT_TRUE(both->HasAudio());
    EXPECT_EQ(both->Layout().audioSampleRate, 44100);
    auto soundOnly = Movie::Open(SoundOnlyPcm().string());
    EXPECT_FALSE(soundOnly->HasVideo());
    EXPECT_TRUE(soundOnly->HasAudio());
    EXPECT_EQ(soundOnly->Duration(), 2500 * soundOnly->TimeScale() / 1000);
    EXPECT_TRUE(soundOnly->VisualSampleTimes().empty());
    EXPECT_EQ(soundOnly->NextVisualSampleTime(0, 1), -1);
}

TEST(MovieOpenTest, OtherContainersUseTimeScale600) {
    auto movie = Movie::Open(CountingMatroska().string());
    EXPECT_EQ(movie->TimeScale(), 600);
    EXPECT_NEAR(double(movie->Duration()), 1800.0, 1.0);
    EXPECT_EQ(StepThroughForward(*movie), ExpectedSampleTimes(CountingMatroska(), 600));
}

TEST(MovieOpenTest, RefusesWhatIsNotAMovie) {
    fs::path dir = testsupport::ScratchDir();
    EXPECT_EQ(ErrorOfOpening(dir / "missing.mov"), fnfErr);
    EXPECT_EQ(ErrorOfOpening(dir), ioErr);

    WriteFileBytes(dir / "empty.mov", {});
    EXPECT_EQ(ErrorOfOpening(dir / "empty.mov"), kNoMovieFoundErr);

    std::vector<uint8_t> text(4000);
    for (size_t i = 0; i < text.size(); ++i) text[i] = uint8_t("not a movie at all\n"[i % 19]);
    WriteFileBytes(dir / "text.mov", text);
    int32_t code = ErrorOfOpening(dir / "text.mov");
    EXPECT_TRUE(code == kNoMovieFoundErr || code == kInvalidMovieErr) << code;
}

TEST(MovieOpenTest, RefusesTruncatedAndDamagedMovies) {
    fs::path dir = testsupport::ScratchDir();
    std::vector<uint8_t> bytes = ReadFileBytes(CountingMovie());  // movie resource at the end

    // Cut before the movie resource: the index is gone.
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
    WriteFileBytes(dir / "cut.mov", cut);
    int32_t code = ErrorOfOpening(dir / "cut.mov");
    EXPECT_TRUE(code == kNoMovieFoundErr || code == kInvalidMovieErr) << code;

    // The movie resource overwritten with junk: refused, not a crash.
    std::vector<uint8_t> junk = bytes;
    for (size_t i = junk.size() - 600; i < junk.size(); ++i) junk[i] = uint8_t(i * 7919);
    WriteFileBytes(dir / "junk.mov", junk);
    code = ErrorOfOpening(dir / "junk.mov");
    EXPECT_NE(code, 0);
}

TEST(MovieSampleTimesTest, SteppingVisitsExactlyTheFramesFfprobeLists) {
    for (const fs::path& file :
         {CountingMovie(false), CountingMovie(true), VariableRateMovie(), MarkerMovie(), MovieWithSound(),
          TrimmedCountingMovie()}) {
        auto movie = Movie::Open(file.string());
        std::vector<int64_t> expected = ExpectedSampleTimes(file, movie->TimeScale());
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(StepThroughForward(*movie), expected) << file;
        EXPECT_EQ(movie->VisualSampleTimes(), expected) << file;

        // Backwards from the end visits the same frames in reverse.
        std::vector<int64_t> back;
        for (int64_t t = movie->NextVisualSampleTime(movie->Duration() + 1, -1); t >= 0;
             t = movie->NextVisualSampleTime(t, -1))
            back.push_back(t);
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(back, expected) << file;
    }
}

TEST(MovieSampleTimesTest, NextAndPreviousAreStrictFromInsideAFrame) {
    auto movie = Movie::Open(VariableRateMovie().string());
    // Frames at 0, 100, 500, 600, 1000 ms ...
    EXPECT_EQ(movie->NextVisualSampleTime(0, 1), 100);
    EXPECT_EQ(movie->NextVisualSampleTime(100, 1), 500);
    EXPECT_EQ(movie->NextVisualSampleTime(300, 1), 500);
    EXPECT_EQ(movie->NextVisualSampleTime(300, -1), 100);
    EXPECT_EQ(movie->NextVisualSampleTime(500, -1), 100);
    EXPECT_EQ(movie->NextVisualSampleTime(0, -1), -1);
    EXPECT_EQ(movie->NextVisualSampleTime(movie->Duration(), 1), -1);
}

// A clock the test moves by hand.
std::chrono::steady_clock::time_point gFakeNow{};
std::chrono::steady_clock::time_point FakeNow() { return gFakeNow; }

TEST(MoviePlaybackTest, TaskAdvancesWithTheClockAtTheRate) {
    auto movie = Movie::Open(CountingMovie().string());
    movie->SetClockForTesting(&FakeNow);
    gFakeNow = {};
    movie->SetCurrentTime(500);
    movie->SetRate(kFixedOne);
    gFakeNow += std::chrono::milliseconds(250);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), 750);

    movie->SetRate(2 * kFixedOne);  // the time so far counted at the old rate
    gFakeNow += std::chrono::milliseconds(500);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), 1750);

    movie->SetRate(-kFixedOne / 2);
    gFakeNow += std::chrono::milliseconds(1000);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), 1250);

    movie->SetRate(0);
    gFakeNow += std::chrono::seconds(10);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), 1250);
}

TEST(MoviePlaybackTest, PlaybackStopsAtEitherEnd) {
    auto movie = Movie::Open(CountingMovie().string());
    movie->SetClockForTesting(&FakeNow);
    gFakeNow = {};
    movie->SetCurrentTime(2900);
    movie->SetRate(kFixedOne);
    gFakeNow += std::chrono::seconds(1);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), movie->Duration());
    EXPECT_EQ(movie->Rate(), 0);

    movie->SetCurrentTime(100);
    movie->SetRate(-kFixedOne);
    gFakeNow += std::chrono::seconds(1);
    movie->Task();
    EXPECT_EQ(movie->CurrentTime(), 0);
    EXPECT_EQ(movie->Rate(), 0);

    movie->SetCurrentTime(-50);
    EXPECT_EQ(movie->CurrentTime(), 0);
    movie->SetCurrentTime(movie->Duration() + 999);
    EXPECT_EQ(movie->CurrentTime(), movie->Duration());
}

TEST(MoviePictureTest, CurrentFrameIsDrawnUprightAtBoxSize) {
    auto movie = Movie::Open(RotatedMarkerMovie().string());
    OffscreenWorld world;
    ASSERT_EQ(movie->DrawCurrentFrame(world), noErr);
    EXPECT_EQ(world.Width(), 120);
    EXPECT_EQ(world.Height(), 160);

    auto counting = Movie::Open(CountingMovie().string());
    counting->SetCurrentTime(1250);  // inside frame 12
    ASSERT_EQ(counting->DrawCurrentFrame(world), noErr);
    EXPECT_EQ(FrameNumberOfGrey(world.Row(24)[3 * 32]), 12);

    auto soundOnly = Movie::Open(SoundOnlyPcm().string());
    EXPECT_EQ(soundOnly->DrawCurrentFrame(world), kTrackNotInMovieErr);
}

}  // namespace
