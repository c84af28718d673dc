#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "SourceFixtures.h"
#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace fixtures;

namespace {

Handle Record(size_t size, uint8_t seed) {
    Handle h(size);
    for (size_t i = 0; i < size; ++i) h.Data()[i] = uint8_t(seed + i * 31);
    return h;
}

uint32_t BE32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}
void PutBE32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 24); b[at + 1] = uint8_t(v >> 16); b[at + 2] = uint8_t(v >> 8); b[at + 3] = uint8_t(v);
}

struct TopAtom {
    std::string type;
    size_t offset, size;
};

// A plain top-level walk, independent of the code under test.
std::vector<TopAtom> TopLevel(const std::vector<uint8_t>& b) {
    std::vector<TopAtom> atoms;
    size_t pos = 0;
    while (pos + 8 <= b.size()) {
        uint64_t size = BE32(b, pos);
        if (size == 1) size = (uint64_t(BE32(b, pos + 8)) << 32) | BE32(b, pos + 12);
        if (size == 0) size = b.size() - pos;
        if (size < 8 || pos + size > b.size()) break;
        atoms.push_back({std::string(b.begin() + pos + 4, b.begin() + pos + 8), pos, size_t(size)});
        pos += size;
    }
    return atoms;
}

std::vector<uint8_t> MediaData(const std::vector<uint8_t>& file) {
    for (const auto& a : TopLevel(file))
        if (a.type == "mdat") return std::vector<uint8_t>(file.begin() + a.offset, file.begin() + a.offset + a.size);
    return {};
}

size_t CountTopLevel(const std::vector<uint8_t>& file, const std::string& type) {
    size_t n = 0;
    for (const auto& a : TopLevel(file)) n += a.type == type;
    return n;
}

fs::path CopyOf(const fs::path& original, const std::string& name) {
    fs::path copy = testsupport::ScratchDir() / name;
    fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
    return copy;
}

int32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const LException& e) {
        EXPECT_FALSE(e.Message().empty());
        return e.Code();
    }
    return 0;
}

TEST(MovieUserDataTest, FreshMovieHasNoRecord) {
    EXPECT_TRUE(MovieUserData::Read(CountingMovie().string()).IsNull());
    EXPECT_TRUE(MovieUserData::Read(MovieWithSound().string()).IsNull());
}

TEST(MovieUserDataTest, WrittenRecordReadsBackAndTheMovieStillPlays) {
    for (bool faststart : {false, true}) {
        fs::path original = CountingMovie(faststart);
        fs::path file = CopyOf(original, faststart ? "fast.mov" : "end.mov");
        std::vector<uint8_t> before = ReadFileBytes(file);
        Handle record = Record(300, 1);
        MovieUserData::Write(file.string(), record);
        EXPECT_EQ(MovieUserData::Read(file.string()), record);

        std::vector<uint8_t> after = ReadFileBytes(file);
        EXPECT_EQ(MediaData(after), MediaData(before));  // sample bytes untouched
        EXPECT_EQ(testsupport::Probe(file, "-show_entries format=nb_streams"), "1");
        EXPECT_TRUE(DecodesCleanly(file));
        EXPECT_EQ(DecodedChecksums(file), DecodedChecksums(original));
        EXPECT_EQ(CountTopLevel(after, "moov"), 1u);
    }
}

TEST(MovieUserDataTest, ReplacingKeepsOtherUserDataAndOnlyOneRecord) {
    fs::path file = CopyOf(testsupport::FixtureMovie("titled.mov", "-f lavfi -i testsrc2=s=64x48:r=5:d=1 -c:v mpeg4 "
                                                      "-metadata title=Harbour"),
                           "titled.mov");
    MovieUserData::Write(file.string(), Record(40, 1));
    MovieUserData::Write(file.string(), Record(50, 2));
    EXPECT_EQ(MovieUserData::Read(file.string()), Record(50, 2));
    EXPECT_EQ(testsupport::Probe(file, "-show_entries format_tags=title"), "Harbour");
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    std::string text(bytes.begin(), bytes.end());
    size_t first = text.find("MSTG");
    ASSERT_NE(first, std::string::npos);
    // The old record may survive only inside a free atom, never in the moov.
    for (const auto& a : TopLevel(bytes)) {
        if (a.type != "moov") continue;
        std::string moov(bytes.begin() + a.offset, bytes.begin() + a.offset + a.size);
        EXPECT_EQ(moov.find("MSTG"), moov.rfind("MSTG"));
    }
}

TEST(MovieUserDataTest, SmallerRecordIsWrittenInPlaceAndLargerOneAppended) {
    fs::path file = CopyOf(CountingMovie(true), "fast.mov");
    MovieUserData::Write(file.string(), Record(400, 1));
    std::vector<uint8_t> first = ReadFileBytes(file);
    // Appended: the faststart moov became free space before the media.
    EXPECT_EQ(TopLevel(first).back().type, "moov");

    MovieUserData::Write(file.string(), Record(100, 2));
    std::vector<uint8_t> second = ReadFileBytes(file);
    EXPECT_EQ(second.size(), first.size());  // fitted where the old one stood
    EXPECT_EQ(MovieUserData::Read(file.string()), Record(100, 2));

    // Growing by less than a free atom header still fits: 100 -> 104 uses the
    // 300 bytes of free space left behind.
    MovieUserData::Write(file.string(), Record(104, 3));
    EXPECT_EQ(ReadFileBytes(file).size(), first.size());
    EXPECT_EQ(MovieUserData::Read(file.string()), Record(104, 3));
    EXPECT_EQ(MediaData(ReadFileBytes(file)), MediaData(ReadFileBytes(CountingMovie(true))));
    EXPECT_EQ(DecodedChecksums(file), DecodedChecksums(CountingMovie(true)));
}

TEST(MovieUserDataTest, EmptyAndNullRecordsAreStoredAsEmptyItems) {
    fs::path file = CopyOf(CountingMovie(), "empty-record.mov");
    MovieUserData::Write(file.string(), Handle());
    Handle read = MovieUserData::Read(file.string());
    EXPECT_FALSE(read.IsNull());
    EXPECT_EQ(read.Size(), 0u);
}

// Every step of a save can be interrupted; the file must then play and
// hold the old or the new record, and the next save must succeed.
TEST(MovieUserDataTest, InterruptedSaveLeavesAPlayableMovieWithOldOrNewRecord) {
    const Handle oldRecord = Record(200, 7);
    const std::string expected[2] = {DecodedChecksums(CountingMovie(false)), DecodedChecksums(CountingMovie(true))};
    for (bool faststart : {false, true})
        for (size_t newSize : {150u, 200u, 5000u})  // in place (smaller, same), appended
            for (int step = 0; step <= int(UserDataWriteStep::SyncFinal); ++step) {
                fs::path original = CountingMovie(faststart);
                fs::path file = CopyOf(original, "crash.mov");
                MovieUserData::Write(file.string(), oldRecord);
                const Handle newRecord = Record(newSize, 9);
                std::string where = "faststart " + std::to_string(faststart) + " size " + std::to_string(newSize) +
                                    " step " + std::to_string(step);
                bool hit = false;
                try {
                    MovieUserData::Write(file.string(), newRecord, kSettingsUserDataType, [&](UserDataWriteStep s) {
                        hit |= int(s) == step;
                        return int(s) == step;
                    });
                    EXPECT_FALSE(hit) << where;
                } catch (const LException& e) {
                    EXPECT_TRUE(hit) << where;
                    EXPECT_EQ(e.Code(), ioErr) << where;
                }
                Handle now = MovieUserData::Read(file.string());
                EXPECT_TRUE(now == oldRecord || now == newRecord) << where;
                EXPECT_EQ(DecodedChecksums(file), expected[faststart]) << where;

                const Handle later = Record(newSize + 3, 11);
                MovieUserData::Write(file.string(), later);
                EXPECT_EQ(MovieUserData::Read(file.string()), later) << where;
                std::vector<uint8_t> bytes = ReadFileBytes(file);
                EXPECT_EQ(CountTopLevel(bytes, "moov"), 1u) << where;
                EXPECT_EQ(TopLevel(bytes).back().offset + TopLevel(bytes).back().size, bytes.size()) << where;
                EXPECT_EQ(MediaData(bytes), MediaData(ReadFileBytes(original))) << where;
            }
}

TEST(MovieUserDataTest, OpenEndedMediaAtomGetsItsSizeBeforeAnAppend) {
    fs::path file = CopyOf(CountingMovie(true), "open-ended.mov");
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    auto atoms = TopLevel(bytes);
    ASSERT_EQ(atoms.back().type, "mdat");
    PutBE32(bytes, atoms.back().offset, 0);  // "runs to the end of the file"
    WriteFileBytes(file, bytes);
    ASSERT_TRUE(DecodesCleanly(file));

    MovieUserData::Write(file.string(), Record(3000, 4));  // too big for the old place
    EXPECT_EQ(MovieUserData::Read(file.string()), Record(3000, 4));
    EXPECT_EQ(DecodedChecksums(file), DecodedChecksums(CountingMovie(true)));
}

TEST(MovieUserDataTest, MovieHeaderGivesTimeScaleAndDuration) {
    int32_t scale = 0;
    int64_t duration = 0;
    ASSERT_TRUE(MovieUserData::ReadMovieHeader(CountingMovie().string(), scale, duration));
    EXPECT_EQ(scale, 1000);
    EXPECT_EQ(duration, 3000);
    EXPECT_FALSE(MovieUserData::ReadMovieHeader(CountingMatroska().string(), scale, duration));
}

TEST(MovieUserDataTest, HostileFilesAreRefusedAndLeftAlone) {
    fs::path dir = testsupport::ScratchDir();
    std::vector<uint8_t> good = ReadFileBytes(CountingMovie(true));
    auto atoms = TopLevel(good);
    size_t moovAt = 0;
    for (const auto& a : atoms)
        if (a.type == "moov") moovAt = a.offset;
    ASSERT_GT(moovAt, 0u);

    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"junk", std::vector<uint8_t>(1000, 0xAB)});
    {
        auto b = good;  // a top-level size smaller than a header
        PutBE32(b, 0, 3);
        cases.push_back({"tiny-size", b});
    }
    {
        auto b = good;  // moov claims to run far past the end of the file
        PutBE32(b, moovAt, 0x7FFFFFF0);
        cases.push_back({"long-moov", b});
    }
    {
        auto b = good;  // a 64-bit size past the end
        PutBE32(b, 0, 1);
        b.insert(b.begin() + 8, {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
        cases.push_back({"huge-64bit", b});
    }
    {
        // A child inside the moov claims more than the moov holds.
        auto b = good;
        PutBE32(b, moovAt + 8, BE32(b, moovAt) + 1000);
        cases.push_back({"lying-child", b});
    }
    {
        auto b = std::vector<uint8_t>(good.begin(), good.begin() + moovAt + 50);  // truncated inside moov
        cases.push_back({"truncated", b});
    }
    for (const auto& [name, bytes] : cases) {
        fs::path file = dir / (name + ".mov");
        WriteFileBytes(file, bytes);
        int32_t readError = ErrorOf([&] { MovieUserData::Read(file.string()); });
        int32_t writeError = ErrorOf([&] { MovieUserData::Write(file.string(), Record(64, 1)); });
        EXPECT_NE(writeError, 0) << name;
        EXPECT_EQ(ReadFileBytes(file), bytes) << name << ": a refused save changed the file";
        if (name != "lying-child") {
            EXPECT_TRUE(readError == kNoMovieFoundErr || readError == kInvalidMovieErr) << name << " " << readError;
        }
    }
    EXPECT_EQ(ErrorOf([&] { MovieUserData::Read((dir / "missing.mov").string()); }), fnfErr);
    EXPECT_EQ(ErrorOf([&] { MovieUserData::Write((dir / "missing.mov").string(), Record(1, 1)); }), fnfErr);
}

}  // namespace

namespace {

TEST(MovieUserDataTest, SavingIntoACorruptedMovieResourceRefusesOrSucceedsCleanly) {
    fs::path dir = testsupport::ScratchDir();
    const std::vector<uint8_t> good = ReadFileBytes(CountingMovie(true));
    size_t moovAt = 0, moovSize = 0;
    for (const auto& a : TopLevel(good))
        if (a.type == "moov") moovAt = a.offset, moovSize = a.size;
    ASSERT_GT(moovSize, 0u);
    uint32_t seed = 777;
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> bad = good;
        for (int k = 0; k < 4; ++k) {  // a few bytes anywhere in the moov, often in a size field
            seed = seed * 1103515245u + 12345u;
            size_t at = moovAt + (seed >> 8) % moovSize;
            bad[at] = uint8_t(seed >> 3);
        }
        fs::path file = dir / ("bad-" + std::to_string(round) + ".mov");
        WriteFileBytes(file, bad);
        try {
            MovieUserData::Write(file.string(), Record(80, uint8_t(round)));
        } catch (const LException&) {
            EXPECT_EQ(ReadFileBytes(file), bad) << "round " << round;
            continue;
        }
        EXPECT_EQ(MovieUserData::Read(file.string()), Record(80, uint8_t(round))) << "round " << round;
        EXPECT_EQ(MediaData(ReadFileBytes(file)), MediaData(bad)) << "round " << round;
    }
}

}  // namespace

namespace {

TEST(MovieUserDataTest, SixtyFourBitMediaHeaderIsWalkedCorrectly) {
    // The muxer leaves a 'wide' atom before 'mdat' so that the pair can
    // become one 16-byte header with a 64-bit size, as large files have.
    fs::path file = CopyOf(CountingMovie(false), "wide.mov");
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    auto atoms = TopLevel(bytes);
    size_t i = 0;
    while (i + 1 < atoms.size() && !(atoms[i].type == "wide" && atoms[i + 1].type == "mdat")) ++i;
    ASSERT_LT(i + 1, atoms.size());
    size_t at = atoms[i].offset;
    uint64_t size = atoms[i + 1].size + 8;
    PutBE32(bytes, at, 1);
    std::memcpy(&bytes[at + 4], "mdat", 4);
    PutBE32(bytes, at + 8, uint32_t(size >> 32));
    PutBE32(bytes, at + 12, uint32_t(size));
    WriteFileBytes(file, bytes);
    const std::string expected = DecodedChecksums(CountingMovie(false));
    ASSERT_EQ(DecodedChecksums(file), expected);

    for (size_t recordSize : {5000u, 100u}) {  // appended, then in place
        MovieUserData::Write(file.string(), Record(recordSize, 5));
        EXPECT_EQ(MovieUserData::Read(file.string()), Record(recordSize, 5));
        EXPECT_EQ(DecodedChecksums(file), expected);
    }
}

}  // namespace
