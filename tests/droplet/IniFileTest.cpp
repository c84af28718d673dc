#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DropletTestSupport.h"
#include "app/IniFile.h"
#include "support/TestSupport.h"

using droplettest::ReadBytes;
using droplettest::WriteBytes;

TEST(IniFile, FindsKeysOfTheirOwnSectionIgnoringCase) {
    IniFile ini = IniFile::Parse(
        "Filename0=/outside/any/section\n"
        "[Other]\nFilename0=/other\n"
        "[fileSECTION]\n  FILENAME0 = /in/a.mov\nFilename1=/in/b.mov\n");
    EXPECT_EQ(ini.GetString("FileSection", "Filename0", " ", 256), "/in/a.mov");
    EXPECT_EQ(ini.GetString("FileSection", "filename1", " ", 256), "/in/b.mov");
    EXPECT_EQ(ini.GetString("Other", "Filename0", " ", 256), "/other");
    EXPECT_EQ(ini.GetString("FileSection", "Filename2", " ", 256), " ");
    EXPECT_EQ(ini.GetString("Missing", "Filename0", "dflt", 256), "dflt");
}

TEST(IniFile, FirstOccurrenceWinsAcrossRepeatedSections) {
    IniFile ini = IniFile::Parse("[S]\nk=first\n[T]\nk=t\n[s]\nk=second\nj=later\n");
    EXPECT_EQ(ini.GetString("S", "k", "", 256), "first");
    EXPECT_EQ(ini.GetString("S", "j", "", 256), "later");
}

TEST(IniFile, ValuesKeepQuotesTrailingBlanksAndAnyBytes) {
    IniFile ini = IniFile::Parse(
        "[S]\r\n"
        "quoted=\"/a b/it's \"q\".mov\"\r\n"
        "trailing=/a/name ends in blanks  \r\n"
        "utf8=/Vid\xC3\xA9os/\xE6\x98\xA0\xE7\x94\xBB.mov\n"
        "equals=/a=b/c.mov\n"
        "empty=\n");
    EXPECT_EQ(ini.GetString("S", "quoted", "", 256), "\"/a b/it's \"q\".mov\"");
    EXPECT_EQ(ini.GetString("S", "trailing", "", 256), "/a/name ends in blanks  ");
    EXPECT_EQ(ini.GetString("S", "utf8", "", 256), "/Vid\xC3\xA9os/\xE6\x98\xA0\xE7\x94\xBB.mov");
    EXPECT_EQ(ini.GetString("S", "equals", "", 256), "/a=b/c.mov");
    EXPECT_EQ(ini.GetString("S", "empty", "dflt", 256), "");
}

TEST(IniFile, AnswersAreCutToTheBuffer) {
    std::string longPath = "/" + std::string(300, 'x');
    IniFile ini = IniFile::Parse("[S]\nk=" + longPath + "\n");
    EXPECT_EQ(ini.GetString("S", "k", "", 256), longPath.substr(0, 255));
    EXPECT_EQ(ini.GetString("S", "missing", "abc", 2), "a");
    EXPECT_EQ(ini.GetString("S", "k", "", 0), "");
}

TEST(IniFile, MissingFileReadsAsEmpty) {
    auto dir = testsupport::ScratchDir();
    IniFile ini = IniFile::Load((dir / "nothing.ini").string());
    EXPECT_EQ(ini.GetString("S", "k", " ", 256), " ");
    // A folder is no file either, and a pipe is not waited on.
    EXPECT_EQ(IniFile::Load(dir.string()).GetString("S", "k", " ", 256), " ");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(IniFile::Load((dir / "pipe").string()).GetString("S", "k", " ", 256), " ");
}

TEST(IniFile, WritingASectionReplacesItAndKeepsTheOthers) {
    auto dir = testsupport::ScratchDir();
    auto path = dir / "Droplet.ini";
    WriteBytes(path, "[Keep]\na=1\n[FileSection]\nFilename0=/old/0\nFilename7=/old/7\n[Also]\nb=2\n");
    ASSERT_TRUE(IniFile::WriteSection(path.string(), "FileSection",
                                      {{"Filename0", "/new/a b.mov"}, {"Filename1", "/new/\"q\".mov"}}));
    EXPECT_EQ(ReadBytes(path),
              "[Keep]\na=1\n[Also]\nb=2\n[FileSection]\nFilename0=/new/a b.mov\nFilename1=/new/\"q\".mov\n");
    IniFile ini = IniFile::Load(path.string());
    EXPECT_EQ(ini.GetString("FileSection", "Filename7", " ", 256), " ");
    EXPECT_EQ(ini.GetString("Keep", "a", " ", 256), "1");
}

TEST(IniFile, WritingRefusesLineBreaksAndLeavesTheFile) {
    auto dir = testsupport::ScratchDir();
    auto path = dir / "Droplet.ini";
    WriteBytes(path, "[FileSection]\nFilename0=/old\n");
    EXPECT_FALSE(IniFile::WriteSection(path.string(), "FileSection", {{"Filename0", "/a\nFilename1=/b"}}));
    EXPECT_EQ(ReadBytes(path), "[FileSection]\nFilename0=/old\n");
    EXPECT_FALSE(IniFile::WriteSection((dir / "no such folder" / "x.ini").string(), "S", {{"k", "v"}}));
}
