#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "DropletTestSupport.h"
#include "platform/files/DropletFile.h"

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::LE32;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

Handle BlockOf(const std::string& bytes) { return Handle(bytes.data(), bytes.size()); }


}  // namespace

TEST(DropletFile, IsImageWithProductWordThenBlockThenLittleEndianLengthAndReadsBack) {
    auto dir = testsupport::ScratchDir();
    auto path = dir / "Web Clips";
    auto image = LoadLauncherImage();
    ASSERT_TRUE(image);
    const std::string block("\x00\x01\x00\x00 settings \xFF\x00 record", 23);
    ASSERT_TRUE(WriteDropletFile(path.string(), BlockOf(block)));

    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 36864 + block.size() + 4);
    std::string expectedImage(image->begin(), image->end());
    std::memcpy(expectedImage.data() + 29328, "MOVEPRESS", 9);
    EXPECT_EQ(bytes.substr(0, 36864), expectedImage);
    EXPECT_EQ(bytes.substr(36864, block.size()), block);
    EXPECT_EQ(bytes.substr(36864 + block.size()), LE32(uint32_t(block.size())));

    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IXUSR);
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    // Reading gives back exactly the block written, whatever its size.
    const Handle fromModel = droplettest::SettingsWithRotation(90, "/pictures/mark.png");
    for (const Handle& written : {fromModel, BlockOf(std::string(1, '\0')), BlockOf(std::string(70000, '\0'))}) {
        ASSERT_TRUE(WriteDroplet(written, testsupport::Spec(path)));
        EXPECT_EQ(ReadDropletSettings(path.string()), written);
    }
}

TEST(DropletFile, ReplacesAnExistingFileButKeepsItWhenWritingFails) {
    auto dir = testsupport::ScratchDir();
    auto path = dir / "droplet";
    WriteBytes(path, "old droplet");
    ASSERT_TRUE(WriteDropletFile(path.string(), BlockOf("new")));
    EXPECT_EQ(Bytes(ReadDropletSettings(path.string())), "new");

    // A record that cannot be written leaves the old file alone.
    WriteBytes(path, "old droplet");
    EXPECT_FALSE(WriteDropletFile(path.string(), Handle()));
    EXPECT_EQ(ReadBytes(path), "old droplet");

    // A folder that cannot be written: silent failure, no stray file.
    if (geteuid() != 0) {
        auto locked = dir / "locked";
        fs::create_directory(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(WriteDropletFile((locked / "d").string(), BlockOf("x")));
        fs::permissions(locked, fs::perms::owner_all);
        EXPECT_TRUE(fs::is_empty(locked));
    }
    EXPECT_FALSE(WriteDropletFile((dir / "missing folder" / "d").string(), BlockOf("x")));
}

TEST(DropletFile, HostileTrailersGiveNoneWithoutBigAllocations) {
    auto dir = testsupport::ScratchDir();
    auto path = dir / "hostile";
    auto expectNone = [&](const std::string& bytes, const char* what) {
        WriteBytes(path, bytes);
        EXPECT_TRUE(ReadDropletSettings(path.string()).IsNull()) << what;
    };
    expectNone("abc" + LE32(4), "length one past the data");
    // Zero is the padding of a bare launcher image, not a record.
    expectNone("abcd" + LE32(0), "zero length");
    EXPECT_TRUE(ReadDropletSettings((dir / "missing").string()).IsNull());
    // A pipe must not block the reader.
    auto fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(ReadDropletSettings(fifo.string()).IsNull());
}

TEST(SettingsBlockFile, AcceptsDropletsAndBareRecordsOnly) {
    auto dir = testsupport::ScratchDir();
    Handle record = droplettest::SettingsWithRotation(180);
    Handle out;
    std::string why;

    auto droplet = dir / "Half Size";
    ASSERT_TRUE(WriteDropletFile(droplet.string(), record));
    ASSERT_TRUE(ReadSettingsBlockFromFile(droplet.string(), out, why)) << why;
    EXPECT_EQ(out, record);

    auto bare = dir / "record.settings";
    WriteBytes(bare, Bytes(record));
    out = Handle();
    ASSERT_TRUE(ReadSettingsBlockFromFile(bare.string(), out, why)) << why;
    EXPECT_EQ(out, record);

    auto rejects = [&](const fs::path& path, const std::string& expectedWords) {
        Handle untouched = BlockOf("keep");
        std::string reason;
        EXPECT_FALSE(ReadSettingsBlockFromFile(path.string(), untouched, reason)) << path;
        EXPECT_NE(reason.find(expectedWords), std::string::npos) << reason;
        EXPECT_EQ(Bytes(untouched), "keep");
    };
    // The launcher image itself, and a droplet whose trailer was cut off.
    auto image = LoadLauncherImage();
    ASSERT_TRUE(image);
    WriteBytes(dir / "unfinished", std::string(image->begin(), image->end()));
    rejects(dir / "unfinished", "unfinished droplet");
    std::string cut = ReadBytes(droplet);
    cut.resize(cut.size() - 2);
    WriteBytes(dir / "cut", cut);
    rejects(dir / "cut", "without a readable settings record");
    WriteBytes(dir / "notes.txt", "just some text that is long enough to be mistaken for a record, or not");
    rejects(dir / "notes.txt", "neither a droplet nor a settings record");
    rejects(dir / "missing", "cannot read");
}
