// The command-line tools through the real program: compress with the
// built-in default, with a settings record, with a preset; print settings.
#include <gtest/gtest.h>

#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieUserData.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

fs::path Source() {
    return FixtureMovie("cli-source.mov",
                        "-f lavfi -i testsrc2=s=320x240:r=25:d=2 -f lavfi -i sine=f=300:r=48000:d=2 "
                        "-c:v mjpeg -q:v 4 -c:a pcm_s16le");
}

std::string Bytes(const Handle& h) { return std::string(reinterpret_cast<const char*>(h.Data()), h.Size()); }

// A record made by the model: MJPEG at 160 x 120, or the picture turned a quarter.
Handle MakeRecord(bool turned = false) {
    CTambleVideoDocModel model;
    EXPECT_TRUE(model.SetSourceFile(Spec(Source())));
    if (turned) {
        model.SetRotation(90);
        return model.WriteSettings();
    }
    model.SetCustomSize(true);
    model.SetOutputWidth(160);
    model.SetOutputHeight(120);
    auto segment = std::make_unique<Handle>(MakeVideoSettings(FourCC("jpeg"), 0x200));
    SetDescriptionTime(segment.get(), STimeValue{0, 600}, model.GetDuration());
    model.VideoSegments().Append(std::move(segment));
    return model.WriteSettings();
}

std::string Video(const fs::path& movie) {
    return Probe(movie, "-select_streams v:0 -show_entries stream=codec_name,width,height");
}

TEST(CompressCommand, SettingsFromTheDefaultARecordAMovieAndAPreset) {
    const fs::path dir = ScratchDir();
    std::string text;
    const fs::path plain = dir / "out put.mp4";  // a blank in the name
    ASSERT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(plain) + " --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(plain, "-show_entries stream=codec_name"), "h264\naac");  // the built-in default
    EXPECT_EQ(Video(plain), "h264\n320\n240");
    EXPECT_EQ(Probe(plain, "-select_streams a:0 -show_entries stream=bit_rate").substr(0, 2), "12");

    WriteBytes(dir / "my.settings", Bytes(MakeRecord()));
    WriteBytes(dir / "turned.settings", Bytes(MakeRecord(true)));
    WriteBytes(dir / "Lossless.QTcd", Bytes(MakeVideoSettings(FourCC("png "), 0x200)));
    const fs::path stored = ScratchCopy(Source(), "stored.mov");
    MovieUserData::Write(stored.string(), MakeRecord());
    // Source, extra arguments, the video stream made.
    const std::tuple<fs::path, std::string, std::string> runs[] = {
        {Source(), "--settings " + Q(dir / "my.settings"), "mjpeg\n160\n120"},
        {Source(), "--settings " + Q(dir / "turned.settings"), "h264\n240\n320"},  // the whole picture turned
        {stored, "", "mjpeg\n160\n120"},  // the record stored in the movie
        {stored, "--video-preset " + Q(dir / "Lossless.QTcd"), "png\n160\n120"},  // replaces the segments
    };
    for (const auto& [source, extra, video] : runs) {
        const fs::path out = dir / "out.mov";
        ASSERT_EQ(Movelark("compress " + Q(source) + " -o " + Q(out) + " " + extra + " --quiet", &text), 0) << text;
        EXPECT_EQ(Video(out), video) << extra;
        if (video.starts_with("mjpeg")) {  // without an audio segment the sound is copied as it is
            EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=codec_name"), "pcm_s16le");
        }
    }
}

TEST(CompressCommand, RefusesBadRequestsWithOneClearLine) {
    const fs::path dir = ScratchDir();
    WriteBytes(dir / "junk.mov", "not a movie");
    // Arguments, exit status, a word the message holds ("" for any).
    const std::tuple<std::string, int, std::string> cases[] = {
        {"compress " + Q(Source()), 2, "-o"},
        {"compress " + Q(dir / "missing.mov") + " -o " + Q(dir / "x.mov"), 1, "no such file"},
        {"compress " + Q(dir / "junk.mov") + " -o " + Q(dir / "x.mov"), 1, ""},
        {"compress " + Q(Source()) + " -o " + Q(dir / "x.mov") + " --settings " + Q(dir / "junk.mov"), 1, ""},
    };
    for (const auto& [args, status, word] : cases) {
        std::string text;
        EXPECT_EQ(Movelark(args, &text), status) << args;
        EXPECT_NE(text.find(word), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(dir / "x.mov")) << args;
    }
}

TEST(SettingsCommand, PrintsStoredSettingsOrSaysThereAreNone) {
    std::string text;
    EXPECT_EQ(Movelark("settings " + Q(Source()), &text), 1);
    EXPECT_NE(text.find("without stored settings"), std::string::npos) << text;
    const fs::path stored = ScratchCopy(Source(), "stored.mov");
    MovieUserData::Write(stored.string(), MakeRecord());
    ASSERT_EQ(Movelark("settings " + Q(stored), &text), 0) << text;
    EXPECT_NE(text.find("160 x 120"), std::string::npos) << text;
    EXPECT_NE(text.find("Photo - JPEG"), std::string::npos) << text;
    ASSERT_EQ(Movelark("settings " + Q(stored) + " --json", &text), 0) << text;
    WriteBytes(ScratchDir() / "s.json", text);
    EXPECT_EQ(RunCommand("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                         "assert d[\"outputWidth\"]==160 and d[\"videoSegments\"][0][\"codec\"]==\"Photo - JPEG\"' " +
                         Q(ScratchDir() / "s.json")),
              0);
}

}  // namespace
