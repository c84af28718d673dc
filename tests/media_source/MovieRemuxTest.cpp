// Copying a movie's tracks into a new file without re-encoding.
#include <gtest/gtest.h>

#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieRemux.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
using namespace testsupport;

namespace {

int FilesIn(const fs::path& dir) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
    return files;
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
    EXPECT_EQ(FilesIn(dir), 4);  // no temporary file left behind
}

}  // namespace
