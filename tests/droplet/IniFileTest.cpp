#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/IniFile.h"
#include "support/TestSupport.h"

// Text, section, key, default, buffer size, the answer.
struct IniCase {
    std::string text;
    const char *section, *key, *fallback;
    size_t size;
    std::string expected;
};

TEST(IniFile, AnswersFromTheFirstOccurrenceOfTheirOwnSectionCutToTheBuffer) {
    const std::string sections = "Filename0=/outside/any/section\n[Other]\nFilename0=/other\n"
                                 "[fileSECTION]\n  FILENAME0 = /in/a.mov\nFilename1=/in/b.mov\n";
    const std::string repeated = "[S]\nk=first\n[T]\nk=t\n[s]\nk=second\nj=later\n";
    // Values run from the first "=" to the end of the line, without its carriage return.
    const std::string values = "[S]\r\nequals=/a=b/c.mov\r\nempty=\n";
    const std::string longPath = "/" + std::string(300, 'x');
    const IniCase cases[] = {
        {sections, "FileSection", "Filename0", " ", 256, "/in/a.mov"},
        {sections, "FileSection", "filename1", " ", 256, "/in/b.mov"},
        {sections, "Other", "Filename0", " ", 256, "/other"},
        {sections, "FileSection", "Filename2", " ", 256, " "},
        {sections, "Missing", "Filename0", "dflt", 256, "dflt"},
        {repeated, "S", "k", "", 256, "first"},
        {repeated, "S", "j", "", 256, "later"},
        {values, "S", "equals", "", 256, "/a=b/c.mov"},
        {values, "S", "empty", "dflt", 256, ""},
        {"[S]\nk=" + longPath + "\n", "S", "k", "", 256, longPath.substr(0, 255)},
    };
    for (const IniCase& c : cases)
        EXPECT_EQ(IniFile::Parse(c.text).GetString(c.section, c.key, c.fallback, c.size), c.expected)
            << c.section << "/" << c.key;
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
