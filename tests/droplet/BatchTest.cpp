#include <gtest/gtest.h>

#include "DropletTestSupport.h"
#include "app/BatchOutputSpec.h"
#include "app/IniFile.h"
#include "platform/files/DropletFile.h"

namespace fs = std::filesystem;
using namespace droplettest;
using testsupport::Spec;
using testsupport::WriteBytes;

namespace {

// A droplet "Web Clips.exe" that rotates by 90 degrees, a hand-over file
// beside it and a folder of dropped movies.
struct BatchScene {
    fs::path dir = testsupport::ScratchDir();
    fs::path droplet = dir / "Tools" / "Web Clips.exe";
    fs::path handover = dir / "Tools" / "Droplet.ini";
    fs::path in = dir / "In";

    BatchScene() {
        fs::create_directories(droplet.parent_path());
        fs::create_directories(in);
        EXPECT_TRUE(WriteDropletFile(droplet.string(), SettingsWithRotation(90)));
    }
    fs::path Movie(const std::string& name) {
        WriteBytes(in / name, "pretend movie");
        return in / name;
    }
    void HandOver(const std::vector<std::pair<std::string, std::string>>& entries) {
        ASSERT_TRUE(IniFile::WriteSection(handover.string(), "FileSection", entries));
    }
    std::string Tail() const { return "BATCH \"" + droplet.string() + "\" \"" + handover.string() + "\""; }
    fs::path Output(const std::string& name) const { return in / "Web Clips Output" / name; }
};

}  // namespace

// The plain case, a file dropped on "Web Clips.exe": Batch.CompressesEveryDroppedFileWithTheDropletsSettings.
TEST(BatchOutput, FolderNamedAfterTheDropletCutTo56BytesBesideTheSourceOrInADroppedFolder) {
    const fs::path in = testsupport::ScratchDir() / "In";
    fs::create_directories(in / "Web Clips Output");  // an existing folder is used as it is
    EXPECT_EQ(MakeBatchOutputSpec(Spec(in / "b.movie.mp4"), "Web Clips").Path(),
              (in / "Web Clips Output" / "b.movie.mp4").string());
    EXPECT_EQ(MakeBatchOutputSpec(Spec(in), "X").Path(), (in / "X Output" / "In").string());
    EXPECT_EQ(DropletNameOfPath("/home/u.dir/Web Clips"), "Web Clips");
    EXPECT_EQ(DropletNameOfPath("/home/u/Web.Clips.v2.exe"), "Web.Clips.v2");
    // A cut never splits a UTF-8 character: "é" straddling byte 56 goes whole.
    const std::string accented = std::string(55, 'a') + "\xC3\xA9" + std::string(20, 'b');
    const std::pair<std::string, std::string> names[] = {{std::string(64, 'n'), std::string(64, 'n')},
                                                         {std::string(65, 'n'), std::string(56, 'n')},
                                                         {accented, std::string(55, 'a')}};
    for (const auto& [name, folder] : names) EXPECT_EQ(BatchOutputFolderName(name), folder + " Output") << name;
}

TEST(BatchCommandLine, OnlyTheExactWordBatchStartsABatch) {
    BatchLog log;
    auto batch = MakeBatch(log);
    for (const char* other : {"batch \"/a\" \"/b\"", "BATCHES \"/a\" \"/b\"", "/movies/BATCH \"x\".mov", ""})
        EXPECT_FALSE(batch->HandleCommandLine(other)) << other;
    EXPECT_TRUE(batch->HandleCommandLine("BATCH"));
    EXPECT_TRUE(batch->HandleCommandLine("BATCH \"/no/droplet\" \"/no/Droplet.ini\""));
    EXPECT_TRUE(log.opened.empty());
    EXPECT_TRUE(log.messages.empty());
}

TEST(BatchCommandLine, SplitsThePathsEvenWhenTheyHoldQuotes) {
    // Even the separator itself inside a folder name: the droplet that
    // exists decides.
    const fs::path odd = testsupport::ScratchDir() / "odd\" \"folder";
    fs::create_directories(odd);
    WriteBytes(odd / "d.exe", "x");
    const std::string oddDroplet = (odd / "d.exe").string(), oddIni = (odd / "Droplet.ini").string();
    // The tail, the droplet and the hand-over file it names.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"\"" + oddDroplet + "\" \"" + oddIni + "\"", oddDroplet, oddIni},
        // Without the closing quotes the plain quote-to-quote reading applies.
        {"\"/a/d.exe\" \"/a/Droplet.ini", "/a/d.exe", "/a/Droplet.ini"},
        {"/a/d.exe /a/Droplet.ini", "", ""},
    };
    for (const auto& [tail, expectedDroplet, expectedHandover] : cases) {
        std::string droplet, handover;
        CDropletBatch::SplitBatchPaths(tail, droplet, handover);
        EXPECT_EQ(droplet, expectedDroplet) << tail;
        if (!expectedDroplet.empty()) {
            EXPECT_EQ(handover, expectedHandover) << tail;
        }
    }
}

TEST(Batch, CompressesEveryDroppedFileWithTheDropletsSettings) {
    BatchScene scene;
    fs::path a = scene.Movie("a.mov"), b = scene.Movie("b b.mov");
    scene.HandOver({{"Filename0", a.string()}, {"Filename1", b.string()}});
    BatchLog log;
    auto batch = MakeBatch(log);
    ASSERT_TRUE(batch->HandleCommandLine(scene.Tail()));

    EXPECT_EQ(log.opened, (std::vector<std::string>{a.string(), b.string()}));
    EXPECT_EQ(log.compressedTo,
              (std::vector<std::string>{scene.Output("a.mov").string(), scene.Output("b b.mov").string()}));
    EXPECT_EQ(log.rotationAtCompress, (std::vector<int32_t>{90, 90}));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(fs::is_directory(scene.in / "Web Clips Output"));

    // Afterwards: models gone, hand-over file deleted, droplet kept.
    EXPECT_EQ(log.modelsAlive, 0);
    EXPECT_FALSE(fs::exists(scene.handover));
    EXPECT_TRUE(fs::exists(scene.droplet));
}

// What the droplet the batch is run with holds, or a command tail too long
// for two file records (cutting it would name the wrong files).
enum class Droplet { kRotating, kDamagedRecord, kBareImage, kPathTooLong };

// Hand-over entries (names of files made in the scene's folder), the files
// compressed, the files named in a message, the lines of the summary of
// files left out, whether the hand-over file is still there afterwards.
// The pretend model cannot compress "nocodec", throws for "explodes" and
// fails for "fails".
struct HandOverCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> entries;  // key, file name
    std::vector<std::string> compressed, named;
    std::vector<std::string> leftOut = {};
    bool handoverKept = false;
    Droplet droplet = Droplet::kRotating;
};

void PrintTo(const HandOverCase& c, std::ostream* out) { *out << c.name; }

class BatchHandOver : public ::testing::TestWithParam<HandOverCase> {};

TEST_P(BatchHandOver, RunsTheListItReads) {
    const HandOverCase& c = GetParam();
    BatchScene scene;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& [key, file] : c.entries)
        entries.emplace_back(key, file.size() <= 1 ? file : scene.Movie(file).string());
    scene.HandOver(entries);
    const auto image = LoadLauncherImage();
    ASSERT_TRUE(image);
    if (c.droplet == Droplet::kDamagedRecord) {
        ASSERT_TRUE(WriteDropletFile(scene.droplet.string(), Handle("\x00\x01\x00\x00\x00", 5)));
    }
    if (c.droplet == Droplet::kBareImage) WriteBytes(scene.droplet, std::string(image->begin(), image->end()));
    std::string tail = scene.Tail();
    if (c.droplet == Droplet::kPathTooLong)
        tail.insert(tail.size() - 1, CDropletBatch::kMaxCommandTail + 1 - tail.size(), ' ');
    BatchLog log;
    EXPECT_TRUE(MakeBatch(log)->HandleCommandLine(tail));

    std::vector<std::string> compressed, messages;
    for (const std::string& file : c.compressed) compressed.push_back(scene.Output(file).string());
    if (c.droplet == Droplet::kDamagedRecord) messages.push_back(GetIndString(1100, 33));  // said once
    if (c.droplet == Droplet::kPathTooLong)
        messages.push_back("The droplet's folder path is too long for a batch run. Move the droplet to a folder with a "
                           "shorter path and drop the files on it again.");
    for (const std::string& stem : c.named) messages.push_back(Named(stem));
    if (!c.leftOut.empty()) messages.push_back(Summary(c.leftOut));
    EXPECT_EQ(log.compressedTo, compressed);
    EXPECT_EQ(log.messages, messages);
    EXPECT_EQ(log.modelsAlive, 0);
    EXPECT_EQ(fs::exists(scene.handover), c.handoverKept);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchHandOver,
    ::testing::Values(
        HandOverCase{"AGapInTheKeysEndsTheList", {{"Filename0", "0.mov"}, {"Filename1", "1.mov"}, {"Filename3", "3.mov"}},
                     {"0.mov", "1.mov"}, {}},
        HandOverCase{"AnAnswerOfOneCharacterEndsTheList",
                     {{"Filename0", "0.mov"}, {"Filename1", "x"}, {"Filename2", "2.mov"}}, {"0.mov"}, {}},
        HandOverCase{"WithoutFilename0NothingRunsButTheHandoverGoes", {{"Filename1", "1.mov"}}, {}, {}},
        HandOverCase{"FilesThatCannotBeCompressedOrFailAreListedInOneMessageAtTheEnd",
                     {{"Filename0", "nocodec.mov"}, {"Filename1", "explodes.mov"}, {"Filename2", "fails.mov"},
                      {"Filename3", "fine.mov"}},
                     {"explodes.mov", "fails.mov", "fine.mov"}, {},
                     {"nocodec.mov: the droplet's settings cannot compress it", "explodes.mov: disk on fire",
                      "fails.mov: compression failed (error " + std::to_string(ioErr) + ")"}},
        HandOverCase{"ADamagedSettingsRecordIsReportedOnceAndNothingIsCompressed",
                     {{"Filename0", "a.mov"}, {"Filename1", "b.mov"}}, {}, {},
                     {"a.mov: the droplet's settings cannot be read", "b.mov: the droplet's settings cannot be read"},
                     false, Droplet::kDamagedRecord},
        // A bare launcher image holds no settings: nothing runs, nothing is
        // said, and the hand-over file stays for a droplet that has them.
        HandOverCase{"ADropletWithoutSettingsRunsNothingAndKeepsTheHandover", {{"Filename0", "a.mov"}}, {}, {}, {}, true,
                     Droplet::kBareImage},
        HandOverCase{"ATailTooLongForTwoFileRecordsRunsAndDeletesNothing", {{"Filename0", "a.mov"}}, {}, {}, {}, true,
                     Droplet::kPathTooLong}),
    [](const auto& info) { return std::string(info.param.name); });

// Not in that folder, the record's own picture stays.
TEST(Batch, AWatermarkInTheApplicationsFolderIsTakenFromThere) {
    BatchScene scene;
    const fs::path app = scene.dir / "app", marks = app / GetIndString(1002, 4);
    fs::create_directories(marks);
    WriteBytes(marks / "logo.png", "picture");
    for (const auto& [recorded, used] : {std::pair{"/elsewhere/logo.png", (marks / "logo.png").string()},
                                         {"/elsewhere/other.png", "/elsewhere/other.png"}}) {
        ASSERT_TRUE(WriteDropletFile(scene.droplet.string(), SettingsWithRotation(0, recorded)));
        scene.HandOver({{"Filename0", scene.Movie("a.mov").string()}});
        BatchLog log;
        MakeBatch(log, app.string())->HandleCommandLine(scene.Tail());
        EXPECT_EQ(log.watermarkAtCompress, std::vector<std::string>{used});
    }
}
