#include <gtest/gtest.h>

#include <filesystem>

#include "SourceFixtures.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieRemux.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

std::string Streams(const fs::path& file) {
    return testsupport::Probe(file, "-show_entries stream=codec_name,nb_frames");
}

TEST(MovieRemuxTest, CopiesEveryTrackWithoutReencoding) {
    fs::path dir = testsupport::ScratchDir();
    for (const char* name : {"copy.mov", "copy.mp4"}) {
        fs::path out = dir / name;
        RemuxMovie(MovieWithSound().string(), out.string());
        EXPECT_EQ(Streams(out), Streams(MovieWithSound())) << name;
        EXPECT_EQ(DecodedChecksums(out), DecodedChecksums(MovieWithSound())) << name;
    }
    // Only the two destinations: no temporary left behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 2);
    // The brand tells the two containers apart.
    EXPECT_EQ(testsupport::Probe(dir / "copy.mp4", "-show_entries format_tags=major_brand"), "isom");
    EXPECT_EQ(testsupport::Probe(dir / "copy.mov", "-show_entries format_tags=major_brand"), "qt");
}

TEST(MovieRemuxTest, KeepsTheDisplayRotationAndReplacesAnExistingFile) {
    fs::path out = testsupport::ScratchDir() / "turned.mov";
    WriteFileBytes(out, std::vector<uint8_t>(100, 1));
    RemuxMovie(RotatedMarkerMovie().string(), out.string());
    auto movie = Movie::Open(out.string());
    EXPECT_EQ(movie->BoxWidth(), 120);
    EXPECT_EQ(movie->BoxHeight(), 160);
    EXPECT_EQ(movie->VisualSampleTimes(), Movie::Open(RotatedMarkerMovie().string())->VisualSampleTimes());
}

TEST(MovieRemuxTest, FailureLeavesTheDestinationAlone) {
    fs::path dir = testsupport::ScratchDir();
    fs::path out = dir / "keep.mov";
    WriteFileBytes(out, {1, 2, 3});
    WriteFileBytes(dir / "broken.mov", std::vector<uint8_t>(500, 0x42));
    EXPECT_THROW(RemuxMovie((dir / "broken.mov").string(), out.string()), LException);
    EXPECT_EQ(ReadFileBytes(out), (std::vector<uint8_t>{1, 2, 3}));
    try {
        RemuxMovie(MarkerMovie().string(), (dir / "no-such-folder" / "x.mov").string());
        FAIL() << "wrote into a missing folder";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), ioErr);
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 2);
}

}  // namespace
