// Damaged movies: every entry point refuses them with an error or works
// with what is there; none crashes or hangs.
#include <gtest/gtest.h>

#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SoundPacketReader.h"
#include "platform/media/source/SoundReader.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
using namespace testsupport;

namespace {

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

TEST(DamagedMovie, TruncatedMediaDataGivesWhatIsThere) {
    const fs::path whole =
        FixtureMovie("busy_fast.mov", "-f lavfi -i testsrc2=s=160x120:r=10:d=3 -c:v libx264 -g 10 -movflags +faststart");
    const std::string bytes = ReadBytes(whole);  // index first, media after
    const fs::path file = ScratchDir() / "cut.mov";
    WriteBytes(file, bytes.substr(0, bytes.size() * 2 / 3));
    auto movie = Movie::Open(file.string());
    EXPECT_EQ(movie->VisualSampleTimes().size(), 30u);  // the index is whole
    MovieFrameRenderer renderer(*movie);
    OffscreenWorld world;
    ASSERT_EQ(renderer.DrawFrameAt(500, world), noErr);
    // Busy colour pictures: chroma upsampling differs slightly from ffmpeg's
    // own conversion, but the neighbouring frames differ far more.
    const double same = DifferenceFromFrame(world, whole, 5);
    EXPECT_LT(same, 6.0);
    EXPECT_GT(DifferenceFromFrame(world, whole, 6), 2 * same);
    renderer.DrawFrameAt(movie->Duration(), world);  // whatever decodes, no crash
    EXPECT_LE(renderer.LastFrameTime(), movie->Duration());
    UseEverything(file);
}

}  // namespace
