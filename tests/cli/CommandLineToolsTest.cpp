// The command-line tools through the real program: compress with the
// built-in default, with a settings record, with a preset; print settings.
#include <gtest/gtest.h>

#include <fstream>

#include "support/TestSupport.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieUserData.h"

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

fs::path Source() {
    return FixtureMovie("cli-source.mov",
                        "-f lavfi -i testsrc2=s=320x240:r=25:d=2 -f lavfi -i sine=f=300:r=48000:d=2 "
                        "-c:v mjpeg -q:v 4 -c:a pcm_s16le");
}

int Movelark(const std::string& args, std::string* output = nullptr) {
    int status = 0;
    const std::string out = CaptureCommand(ShellQuote(MovelarkBinary().string()) + " " + args + " 2>&1", &status);
    if (output) *output = out;
    return status;
}

std::string Q(const fs::path& p) { return ShellQuote(p.string()); }

// A record made by the model: 160x120 output, rotated a half turn, MJPEG.
Handle MakeRecord(const fs::path& movie) {
    CTambleVideoDocModel model;
    FSSpec spec;
    EXPECT_EQ(FSSpec::FromPath(movie.string(), spec), noErr);
    EXPECT_TRUE(model.SetSourceFile(spec));
    model.SetCustomSize(true);
    model.SetConstrainProportions(false);
    model.SetOutputWidth(160);
    model.SetOutputHeight(120);
    auto segment = std::make_unique<Handle>(MakeVideoSettings(FourCC("jpeg"), 0x200));
    SetDescriptionTime(segment.get(), STimeValue{0, 600}, model.GetDuration());
    model.VideoSegments().Append(std::move(segment));
    return model.WriteSettings();
}

}  // namespace

TEST(CompressCommand, BuiltInDefaultIsH264AndAac) {
    const fs::path dir = ScratchDir();
    const fs::path out = dir / "out put.mp4";  // a blank in the name
    std::string text;
    ASSERT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(out) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name"), "h264\naac");
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), "320\n240");
    EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=bit_rate").substr(0, 2), "12");
}

TEST(CompressCommand, SettingsFromARecordAMovieAndAPreset) {
    const fs::path dir = ScratchDir();
    const Handle record = MakeRecord(Source());
    const fs::path recordFile = dir / "my.settings";
    std::ofstream(recordFile, std::ios::binary).write(reinterpret_cast<const char*>(record.Data()), record.Size());

    std::string text;
    const fs::path a = dir / "a.mov";
    ASSERT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(a) + " --settings " + Q(recordFile) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(a, "-select_streams v:0 -show_entries stream=codec_name,width,height"), "mjpeg\n160\n120");
    // Without an audio segment the sound is copied as it is.
    EXPECT_EQ(Probe(a, "-select_streams a:0 -show_entries stream=codec_name"), "pcm_s16le");

    // The same record stored in a copy of the movie is used without --settings.
    const fs::path stored = dir / "stored.mov";
    fs::copy_file(Source(), stored);
    MovieUserData::Write(stored.string(), record);
    const fs::path b = dir / "b.mov";
    ASSERT_EQ(Movelark("compress " + Q(stored) + " -o " + Q(b) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(b, "-select_streams v:0 -show_entries stream=codec_name,width,height"), "mjpeg\n160\n120");

    // A video preset replaces the record's segments.
    const Handle png = MakeVideoSettings(FourCC("png "), 0x200);
    const fs::path preset = dir / "Lossless.QTcd";
    std::ofstream(preset, std::ios::binary).write(reinterpret_cast<const char*>(png.Data()), png.Size());
    const fs::path c = dir / "c.mov";
    ASSERT_EQ(Movelark("compress " + Q(stored) + " -o " + Q(c) + " --video-preset " + Q(preset) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(c, "-select_streams v:0 -show_entries stream=codec_name,width,height"), "png\n160\n120");
}

TEST(CompressCommand, RefusesBadRequestsWithOneClearLine) {
    const fs::path dir = ScratchDir();
    std::string text;
    EXPECT_EQ(Movelark("compress " + Q(Source()), &text), 2);
    EXPECT_NE(text.find("-o"), std::string::npos) << text;
    EXPECT_EQ(Movelark("compress " + Q(dir / "missing.mov") + " -o " + Q(dir / "x.mov"), &text), 1);
    EXPECT_NE(text.find("no such file"), std::string::npos) << text;
    std::ofstream(dir / "junk.mov") << "not a movie";
    EXPECT_EQ(Movelark("compress " + Q(dir / "junk.mov") + " -o " + Q(dir / "y.mov"), &text), 1);
    EXPECT_FALSE(fs::exists(dir / "y.mov"));
    EXPECT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(dir / "z.mov") + " --settings " + Q(dir / "junk.mov"), &text), 1);
    EXPECT_FALSE(fs::exists(dir / "z.mov"));
}

TEST(SettingsCommand, PrintsStoredSettingsOrSaysThereAreNone) {
    const fs::path dir = ScratchDir();
    std::string text;
    EXPECT_EQ(Movelark("settings " + Q(Source()), &text), 1);
    EXPECT_NE(text.find("without stored settings"), std::string::npos) << text;

    const fs::path stored = dir / "stored.mov";
    fs::copy_file(Source(), stored);
    MovieUserData::Write(stored.string(), MakeRecord(Source()));
    ASSERT_EQ(Movelark("settings " + Q(stored), &text), 0) << text;
    EXPECT_NE(text.find("160 x 120"), std::string::npos) << text;
    EXPECT_NE(text.find("Photo - JPEG"), std::string::npos) << text;

    ASSERT_EQ(Movelark("settings " + Q(stored) + " --json", &text), 0) << text;
    const fs::path json = dir / "s.json";
    std::ofstream(json) << text;
    EXPECT_EQ(RunCommand("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                         "assert d[\"outputWidth\"]==160 and d[\"videoSegments\"][0][\"codec\"]==\"Photo - JPEG\"' " + Q(json)),
              0);
}

TEST(CompressCommand, ATurnedRecordTurnsTheWholePicture) {
    const fs::path dir = ScratchDir();
    CTambleVideoDocModel model;
    FSSpec spec;
    ASSERT_EQ(FSSpec::FromPath(Source().string(), spec), noErr);
    ASSERT_TRUE(model.SetSourceFile(spec));
    model.SetRotation(90);
    const Handle record = model.WriteSettings();
    const fs::path recordFile = dir / "turned.settings";
    std::ofstream(recordFile, std::ios::binary).write(reinterpret_cast<const char*>(record.Data()), record.Size());
    const fs::path out = dir / "turned.mov";
    std::string text;
    ASSERT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(out) + " --settings " + Q(recordFile) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width,height"), "240\n320");
}
