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

}  // namespace
