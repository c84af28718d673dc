// Hostile files through the real program: `movelark settings` and
// `movelark compress` answer every one with a clear one-line error (or, for
// values that are merely odd, a correct result), never die of a signal and
// never change a byte of any file they were given. The readers' own tests
// try many more lies; these prove each way in stays guarded.
#include <gtest/gtest.h>

#include "HostileFiles.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieUserData.h"

using namespace hostile;

namespace {

// Every file below `dir` with its bytes, for before/after comparisons.
std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files.emplace_back(entry.path().string(), ReadBytes(entry.path()));
    std::sort(files.begin(), files.end());
    return files;
}

// A movie file with a stored settings record of these bytes.
void MovieStoring(const fs::path& path, const std::string& record) {
    fs::copy_file(SmallMovie(), path, fs::copy_options::overwrite_existing);
    MovieUserData::Write(path.string(), Handle(record.data(), record.size()));
}

// Patches the 32-bit size field of the first top-level atom of a type.
std::string WithAtomSize(std::string movie, const char type[4], uint32_t size) {
    const TopAtom at = FindTopLevelAtom(movie, type);
    EXPECT_NE(at.offset, std::string::npos) << type;
    if (at.offset != std::string::npos) movie.replace(at.offset, 4, BE32(size));
    return movie;
}

// Movies that are cut short or lie about their atoms.
void WriteBrokenMovies(const fs::path& dir) {
    const std::string mov = ReadBytes(SmallMovie());
    const std::string mp4 = ReadBytes(IndexFirstMovie());
    WriteBytes(dir / "empty.mov", "");
    WriteBytes(dir / "cut-in-moov.mp4", mp4.substr(0, FindTopLevelAtom(mp4, "moov").offset + 40));
    WriteBytes(dir / "cut-before-moov.mov", mov.substr(0, mov.size() / 2));
    WriteBytes(dir / "moov-too-big.mov", WithAtomSize(mov, "moov", uint32_t(mov.size()) * 2));
    WriteBytes(dir / "moov-too-small.mov", WithAtomSize(mov, "moov", uint32_t(FindTopLevelAtom(mov, "moov").size) - 200));
    WriteBytes(dir / "moov-size-3.mp4", WithAtomSize(mp4, "moov", 3));
    WriteBytes(dir / "mdat-too-big.mp4", WithAtomSize(mp4, "mdat", 0x7FFFFFF0));
    WriteBytes(dir / "header-only.mov", BE32(8) + "moov");
}

// Settings records whose counts or handle sizes are huge or negative.
std::vector<std::pair<std::string, std::string>> HostileRecords() {
    using R = RecordBytes;
    return {
        {"huge-filter-count", R().U32(0x7FFFFFFF).Str()},
        {"huge-handle-size", R().U32(0).U32(1).U32(0x7FFFFFF0).Raw(std::string(64, 'x')).Str()},
        {"cut-in-a-handle", R().U32(1).U32(100).Raw(std::string(10, 'x')).Str()},
        {"cut-after-header", R().Str()},
        {"long-name-cut", RecordBytes::Empty().substr(0, 42) + "\xff" + "short"},
    };
}

// For every hostile record a record file, a droplet carrying it and a movie
// storing it, and droplets whose trailer lies; the names of the record
// files and droplets.
std::vector<std::string> WriteHostileSettings(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& [name, record] : HostileRecords()) {
        MovieStoring(dir / ("stored-" + name + ".mov"), record);
        WriteBytes(dir / (name + ".record"), record);
        WriteBytes(dir / (name + ".droplet"), DropletWith(record + LE32(uint32_t(record.size()))));
        names.insert(names.end(), {name + ".record", name + ".droplet"});
    }
    WriteBytes(dir / "trailer-past-the-start.droplet", DropletWith(RecordBytes::Empty() + LE32(100000)));
    WriteBytes(dir / "trailer-all-ones.droplet", DropletWith(LE32(0xFFFFFFFF)));
    names.insert(names.end(), {"trailer-past-the-start.droplet", "trailer-all-ones.droplet"});
    return names;
}

// Runs movelark and expects a refusal: one line, ours, and an ordinary exit
// status. What it said, for further checks.
std::string ExpectRefusal(const std::string& args) {
    std::string output;
    EXPECT_EQ(Movelark(args, &output), 1) << args << ": " << output;
    EXPECT_EQ(LineCount(output), 1) << args << ": " << output;
    EXPECT_EQ(output.rfind("movelark: ", 0), 0u) << args << ": " << output;
    return output;
}

}  // namespace

TEST(HostileSettingsCommand, RefusesBrokenMoviesRecordsAndDropletsWithOneLine) {
    const fs::path dir = ScratchDir();
    WriteBrokenMovies(dir);
    WriteHostileSettings(dir);
    const auto before = Snapshot(dir);
    for (const auto& [path, bytes] : before) ExpectRefusal("settings " + Q(path));
    EXPECT_GE(before.size(), 25u);
    EXPECT_EQ(Snapshot(dir), before);
}

TEST(HostileCompressCommand, BrokenSourcesGiveOneLineAndNoFileAtAll) {
    const fs::path in = ScratchDir() / "in", out = ScratchDir() / "out";
    fs::create_directories(in);
    fs::create_directories(out);
    WriteBrokenMovies(in);
    WriteBytes(in / "text.mov", "just some words, not a movie\n");
    fs::create_directories(in / "folder.mov");

    const auto before = Snapshot(in);
    int refused = 0;
    for (const auto& entry : fs::directory_iterator(in)) {
        const fs::path dest = out / (entry.path().stem().string() + "-out.mov");
        const std::string args = "compress " + Q(entry.path()) + " -o " + Q(dest) + " --quiet";
        if (Movelark(args) == 0) {  // a lie the demuxer reads through gives a whole movie
            EXPECT_TRUE(DecodesCleanly(dest)) << entry.path();
            fs::remove(dest);
            continue;
        }
        ExpectRefusal(args);
        ++refused;
        EXPECT_TRUE(fs::is_empty(out)) << entry.path();  // no temporary file either
    }
    EXPECT_GE(refused, 7);
    EXPECT_EQ(Snapshot(in), before);
}

TEST(HostileCompressCommand, HostileSettingsAndPresetsAreRefusedBeforeAnythingIsWritten) {
    const fs::path in = ScratchDir() / "in", out = ScratchDir() / "out", source = in / "source.mov";
    fs::create_directories(in);
    fs::create_directories(out);
    fs::copy_file(SmallMovie(), source);
    const std::vector<std::string> settingsFiles = WriteHostileSettings(in);

    // Presets: not a container, a size that runs past the end, nothing at
    // all, and a preset of the other kind.
    const Handle good = MakeVideoSettings(FourCC("jpeg"), 0x200);
    std::string tooLong = Bytes(good);
    tooLong.replace(12, 4, BE32(0x00FFFFFF));
    WriteBytes(in / "words.QTcd", "not a settings description");
    WriteBytes(in / "too-long.QTcd", tooLong);
    WriteBytes(in / "empty.QTcd", "");
    WriteBytes(in / "video.QTcd", Bytes(good));
    WriteBytes(in / "sound.QTac", Bytes(MakeSoundSettings(FourCC("aac "), 2, 16, 44100)));

    const auto before = Snapshot(in);
    const fs::path dest = out / "result.mov", pipe = ScratchDir() / "pipe.QTcd";
    auto refused = [&](const std::string& option, const fs::path& file) {
        ExpectRefusal("compress " + Q(source) + " -o " + Q(dest) + " " + option + " " + Q(file) + " --quiet");
        EXPECT_TRUE(fs::is_empty(out)) << file;
    };
    for (const std::string& f : settingsFiles) refused("--settings", in / f);
    // A damaged stored record gives way to the built-in settings, with a warning.
    for (const auto& [name, record] : HostileRecords()) {
        std::string output;
        EXPECT_EQ(Movelark("compress " + Q(in / ("stored-" + name + ".mov")) + " -o " + Q(dest), &output), 0) << name;
        EXPECT_NE(output.find("are damaged"), std::string::npos) << name << ": " << output;
        fs::remove(dest);
    }
    for (const char* preset : {"words.QTcd", "too-long.QTcd", "empty.QTcd"})
        for (const char* option : {"--video-preset", "--audio-preset"}) refused(option, in / preset);
    refused("--video-preset", in / "sound.QTac");
    refused("--audio-preset", in / "video.QTcd");
    ASSERT_EQ(RunCommand("mkfifo " + Q(pipe)), 0);
    refused("--video-preset", pipe);  // must not block
    refused("--audio-preset", in);    // a folder
    EXPECT_EQ(Snapshot(in), before);
}

namespace {

// An empty document's record with 32-bit fields replaced (offsets of the
// record's own layout: crop 4-19, output size 20-27, rotation 28).
std::string RecordWith(std::initializer_list<std::pair<size_t, uint32_t>> fields, bool customSize = false) {
    std::string r = RecordBytes::Empty();
    for (const auto& [at, value] : fields) r.replace(at, 4, BE32(value));
    if (customSize) r[34] = 1;
    return r;
}

// A record with a watermark reference (the full path as name), which sits
// after version, crop, size, rotation, flags, volume and folder.
std::string RecordWithWatermark(const std::string& path) {
    std::string r = RecordBytes::Empty();
    const size_t nameAt = 4 + 16 + 12 + 4 + 2 + 4;
    r[nameAt] = char(path.size());
    r.insert(nameAt + 1, path);
    return r;
}

}  // namespace

// Values a record may hold that no editor makes: sizes too large to make
// are refused with a line naming them, before any frame; merely odd values
// and pictures claiming absurd sizes (the picture reader's own tests try
// many more) give a whole movie without the picture.
TEST(HostileCompressCommand, AbsurdValuesAreRefusedOddOnesGiveAWholeMovie) {
    const fs::path dir = ScratchDir(), dest = dir / "odd.mov";
    const std::string png = ClaimedPNG(60000, 60000), bmp = ClaimedBMP(-64, 64);
    WriteBytes(dir / "huge.png", png);
    WriteBytes(dir / "negative.bmp", bmp);
    // What, the record, the words of the refusal ("": a whole movie).
    const std::tuple<const char*, std::string, const char*> records[] = {
        {"2^31 - 1 squared", RecordWith({{20, 0x7FFFFFFF}, {24, 0x7FFFFFFF}}, true), "2147483647 x 2147483647"},
        {"100000 x 16", RecordWith({{20, 100000}, {24, 16}}, true), "100000 x 16"},
        {"negative output size", RecordWith({{20, uint32_t(-100)}, {24, uint32_t(-50)}}, true), ""},
        {"crop beyond the picture", RecordWith({{4, uint32_t(-5000)}, {8, 70000}, {12, uint32_t(-2)}, {16, 0x7FFFFFFF}}),
         ""},
        {"crop inside out", RecordWith({{4, 50}, {8, 60}, {12, 10}, {16, 20}}), ""},
        {"rotation 45", RecordWith({{28, 45}}), ""},
        {"rotation far negative", RecordWith({{28, 0x80000001}}), ""},
        {"range with scale 0", RecordBytes().U32(0).U32(0).U32(0).U32(1).U32(100).U32(0).U32(300).U32(600).Str(), ""},
        {"huge.png", RecordWithWatermark((dir / "huge.png").string()), ""},
        {"negative.bmp", RecordWithWatermark((dir / "negative.bmp").string()), ""},
    };
    for (const auto& [what, record, refusal] : records) {
        SCOPED_TRACE(what);
        WriteBytes(dir / "settings.record", record);
        fs::remove(dest);
        const std::string args = "compress " + Q(SmallMovie()) + " -o " + Q(dest) + " --settings " +
                                 Q(dir / "settings.record") + " --quiet";
        if (*refusal) {
            EXPECT_NE(ExpectRefusal(args).find(refusal), std::string::npos);
            EXPECT_FALSE(fs::exists(dest));
            continue;
        }
        std::string output;
        ASSERT_EQ(Movelark(args, &output), 0) << output;
        EXPECT_TRUE(DecodesCleanly(dest));
        EXPECT_GE(CountFrames(dest), 5);  // at most the excluded half second is missing
        EXPECT_LE(CountFrames(dest), 10);
    }
    EXPECT_EQ(ReadBytes(dir / "huge.png"), png);
    EXPECT_EQ(ReadBytes(dir / "negative.bmp"), bmp);
}
