// The settings record stored in a movie file's user data: written in place
// or appended, never touching the media, safe against a save cut short and
// against files that lie.
#include <gtest/gtest.h>

#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
using namespace testsupport;

namespace {

Handle Record(size_t size, uint8_t seed) {
    Handle h(size);
    for (size_t i = 0; i < size; ++i) h.Data()[i] = uint8_t(seed + i * 31);
    return h;
}

void PutBE32(std::string& b, size_t at, uint32_t v) { b.replace(at, 4, BE32(v)); }

size_t CountTopLevel(const std::string& file, const std::string& type) {
    size_t n = 0;
    for (const auto& a : TopLevelAtoms(file)) n += a.type == type;
    return n;
}

TEST(MovieUserData, ReplacingKeepsOtherUserDataAndOnlyOneRecord) {
    const fs::path file = ScratchCopy(
        FixtureMovie("titled.mov", "-f lavfi -i testsrc2=s=64x48:r=5:d=1 -c:v mpeg4 -metadata title=Harbour"),
        "titled.mov");
    EXPECT_TRUE(MovieUserData::Read(file.string()).IsNull());
    MovieUserData::Write(file.string(), Record(40, 1));
    MovieUserData::Write(file.string(), Record(50, 2));
    EXPECT_EQ(MovieUserData::Read(file.string()), Record(50, 2));
    EXPECT_EQ(Probe(file, "-show_entries format_tags=title"), "Harbour");
    // The old record may survive only inside a free atom, never in the moov.
    const std::string bytes = ReadBytes(file);
    const TopAtom moov = FindTopLevelAtom(bytes, "moov");
    const std::string inside = bytes.substr(moov.offset, moov.size);
    ASSERT_NE(inside.find("MSTG"), std::string::npos);
    EXPECT_EQ(inside.find("MSTG"), inside.rfind("MSTG"));
    MovieUserData::Write(file.string(), Handle());  // stored as an empty item
    EXPECT_EQ(MovieUserData::Read(file.string()), Handle(size_t(0)));
}

// Every step of a save can be interrupted; the file must then play and
// hold the old or the new record, and the next save must succeed.
TEST(MovieUserData, InterruptedSaveLeavesAPlayableMovieWithOldOrNewRecord) {
    const Handle oldRecord = Record(200, 7);
    const std::string expected[2] = {DecodedChecksums(CountingMovie(false)), DecodedChecksums(CountingMovie(true))};
    for (bool faststart : {false, true})
        for (size_t newSize : {150u, 200u, 5000u})  // in place (smaller, same), appended
            for (int step = 0; step <= int(UserDataWriteStep::SyncFinal); ++step) {
                const fs::path original = CountingMovie(faststart);
                const fs::path file = ScratchCopy(original, "crash.mov");
                MovieUserData::Write(file.string(), oldRecord);
                const Handle newRecord = Record(newSize, 9);
                const std::string where = "faststart " + std::to_string(faststart) + " size " +
                                          std::to_string(newSize) + " step " + std::to_string(step);
                bool hit = false;
                const int32_t error = ErrorCode([&] {
                    MovieUserData::Write(file.string(), newRecord, kSettingsUserDataType, [&](UserDataWriteStep s) {
                        hit |= int(s) == step;
                        return int(s) == step;
                    });
                });
                EXPECT_EQ(error, hit ? ioErr : noErr) << where;
                const Handle now = MovieUserData::Read(file.string());
                EXPECT_TRUE(now == oldRecord || now == newRecord) << where;
                EXPECT_EQ(DecodedChecksums(file), expected[faststart]) << where;

                MovieUserData::Write(file.string(), Record(newSize + 3, 11));
                EXPECT_EQ(MovieUserData::Read(file.string()), Record(newSize + 3, 11)) << where;
                const std::string bytes = ReadBytes(file);
                EXPECT_EQ(CountTopLevel(bytes, "moov"), 1u) << where;
                EXPECT_EQ(TopLevelAtoms(bytes).back().offset + TopLevelAtoms(bytes).back().size, bytes.size()) << where;
                EXPECT_EQ(MediaData(bytes), MediaData(ReadBytes(original))) << where;
            }
}

TEST(MovieUserData, OpenEndedAndSixtyFourBitMediaAtomsAreWalked) {
    // An mdat whose size says "to the end of the file" gets its size before an append.
    const fs::path open = ScratchCopy(CountingMovie(true), "open-ended.mov");
    std::string bytes = ReadBytes(open);
    ASSERT_EQ(TopLevelAtoms(bytes).back().type, "mdat");
    PutBE32(bytes, TopLevelAtoms(bytes).back().offset, 0);
    WriteBytes(open, bytes);
    MovieUserData::Write(open.string(), Record(3000, 4));  // too big for the old place
    EXPECT_EQ(MovieUserData::Read(open.string()), Record(3000, 4));
    EXPECT_EQ(DecodedChecksums(open), DecodedChecksums(CountingMovie(true)));

    // The muxer leaves a 'wide' atom before 'mdat' so that the pair can
    // become one 16-byte header with a 64-bit size, as large files have.
    const fs::path wide = ScratchCopy(CountingMovie(false), "wide.mov");
    bytes = ReadBytes(wide);
    const auto atoms = TopLevelAtoms(bytes);
    size_t i = 0;
    while (i + 1 < atoms.size() && !(atoms[i].type == "wide" && atoms[i + 1].type == "mdat")) ++i;
    ASSERT_LT(i + 1, atoms.size());
    const uint64_t size = atoms[i + 1].size + 8;
    bytes.replace(atoms[i].offset, 16, BE32(1) + "mdat" + BE32(uint32_t(size >> 32)) + BE32(uint32_t(size)));
    WriteBytes(wide, bytes);
    const std::string expected = DecodedChecksums(CountingMovie(false));
    ASSERT_EQ(DecodedChecksums(wide), expected);
    for (size_t recordSize : {5000u, 100u}) {  // appended, then in place
        MovieUserData::Write(wide.string(), Record(recordSize, 5));
        EXPECT_EQ(MovieUserData::Read(wide.string()), Record(recordSize, 5));
        EXPECT_EQ(DecodedChecksums(wide), expected);
    }
}

TEST(MovieUserData, HostileFilesAreRefusedAndLeftAlone) {
    const fs::path dir = ScratchDir();
    const std::string good = ReadBytes(CountingMovie(true));
    const size_t moovAt = FindTopLevelAtom(good, "moov").offset;
    ASSERT_GT(moovAt, 0u);
    auto patched = [&](size_t at, uint32_t v) {
        std::string b = good;
        PutBE32(b, at, v);
        return b;
    };
    std::string huge = patched(0, 1);  // a 64-bit size past the end
    huge.insert(8, "\x7f\xff\xff\xff\xff\xff\xff\xff");
    // With the movie resource last, its first child runs past its end and
    // a torn copy of an interrupted save follows: that copy must not be
    // cut off before the damage is noticed.
    std::string torn = ReadBytes(CountingMovie(false));
    const TopAtom lastMoov = FindTopLevelAtom(torn, "moov");
    ASSERT_EQ(lastMoov.offset + lastMoov.size, torn.size());
    PutBE32(torn, lastMoov.offset + 8, uint32_t(lastMoov.size));
    torn += BE32(4096) + "free" + std::string(100, '\0');
    const std::pair<std::string, std::string> cases[] = {
        {"empty", ""},
        {"junk", std::string(1000, '\xab')},
        {"tiny-size", patched(0, 3)},                     // smaller than a header
        {"long-moov", patched(moovAt, 0x7FFFFFF0)},       // runs far past the end
        {"huge-64bit", huge},
        {"lying-child", patched(moovAt + 8, GetBE32(good, moovAt) + 1000)},  // more than the moov holds
        {"truncated", good.substr(0, moovAt + 50)},
        {"lying-child-torn-copy", torn}};
    for (const auto& [name, bytes] : cases) {
        const fs::path file = dir / (name + ".mov");
        WriteBytes(file, bytes);
        const int32_t readError = ErrorCode([&] { MovieUserData::Read(file.string()); });
        const int32_t writeError = ErrorCode([&] { MovieUserData::Write(file.string(), Record(64, 1)); });
        EXPECT_TRUE(writeError == kNoMovieFoundErr || writeError == kInvalidMovieErr) << name << " " << writeError;
        EXPECT_EQ(ReadBytes(file), bytes) << name << ": a refused save changed the file";
        if (!name.starts_with("lying-child")) {
            EXPECT_TRUE(readError == kNoMovieFoundErr || readError == kInvalidMovieErr) << name << " " << readError;
        }
    }
    EXPECT_EQ(ErrorCode([&] { MovieUserData::Read((dir / "missing.mov").string()); }), fnfErr);
    EXPECT_EQ(ErrorCode([&] { MovieUserData::Write((dir / "missing.mov").string(), Record(1, 1)); }), fnfErr);
}

}  // namespace
