// Inputs the fuzz targets found, kept as tests so the faults stay fixed.
#include <gtest/gtest.h>

#include "HostileFiles.h"
#include "support/TestSupport.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"

namespace fs = std::filesystem;
using namespace hostile;

// A torn copy at the end of the file (left by an interrupted save) used to
// be cut off before the damaged movie resource was noticed, so a refused
// save still changed the file.
TEST(FuzzFindings, RefusedSaveLeavesATornCopyAndEveryOtherByteAlone) {
    const fs::path movie = testsupport::ScratchDir() / "torn.mov";
    std::string bytes = ReadBytes(SourceMovie());
    const AtomAt moov = FindTopLevelAtom(bytes, "moov");
    ASSERT_NE(moov.offset, std::string::npos);
    ASSERT_EQ(moov.offset + moov.size, bytes.size()) << "the fixture keeps its movie resource last";
    // The first child of the movie resource now runs past its end...
    ASSERT_EQ(bytes.substr(moov.offset + 12, 4), "mvhd");
    bytes.replace(moov.offset + 8, 4, BE32(moov.size));
    // ...and a torn copy of an interrupted save follows.
    bytes += BE32(4096) + "free" + std::string(100, '\0');
    WriteBytes(movie, bytes);

    try {
        MovieUserData::Write(movie.string(), Handle("new", 3));
        ADD_FAILURE() << "a damaged movie resource was accepted";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kInvalidMovieErr);
    }
    EXPECT_EQ(ReadBytes(movie), bytes);
}
