// The command-line tools through the real program: compress with the
// built-in default, with a settings record, with a preset, with each
// option; several sources of every common kind; print settings.
#include <gtest/gtest.h>

#include <cstdlib>

#include "model/CTambleVideoDocModel.h"
#include "platform/media/encode/VideoSettings.h"
#include "platform/media/source/MovieUserData.h"
#include "support/Pictures.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

// The right half is white, so that a flip shows in the left corner.
fs::path Source() {
    return FixtureMovie("cli-source.mov",
                        "-f lavfi -i testsrc2=s=320x240:r=25:d=2 -f lavfi -i sine=f=300:r=48000:d=2 -ac 2 "
                        "-vf drawbox=x=160:y=0:w=160:h=240:color=white:t=fill -c:v mjpeg -q:v 4 -c:a pcm_s16le");
}


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
    model.UseOneVideoSegment(MakeVideoSettings(FourCC("jpeg"), 0x200));
    return model.WriteSettings();
}

std::string Video(const fs::path& movie) {
    return Probe(movie, "-select_streams v:0 -show_entries stream=codec_name,width,height");
}

TEST(CompressCommand, SettingsFromTheDefaultARecordAMovieAPresetOrADamagedRecord) {
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
    // A record whose rotation no editor could make (records cut short: the
    // hostile tests) gives way to the built-in settings with a warning, the
    // command line's replacements still work, and the record stays as it is.
    std::string damagedRecord = Bytes(MakeRecord());
    damagedRecord[31] = 77;  // the rotation's low byte
    const fs::path damaged = ScratchCopy(Source(), "damaged.mov");
    MovieUserData::Write(damaged.string(), Handle(damagedRecord.data(), damagedRecord.size()));
    const std::string damagedBytes = ReadBytes(damaged);
    // Source, extra arguments, the video stream made.
    const std::tuple<fs::path, std::string, std::string> runs[] = {
        {Source(), "--settings " + Q(dir / "my.settings"), "mjpeg\n160\n120"},
        {Source(), "--settings " + Q(dir / "turned.settings"), "h264\n240\n320"},  // the whole picture turned
        {stored, "", "mjpeg\n160\n120"},  // the record stored in the movie
        {stored, "--video-preset " + Q(dir / "Lossless.QTcd"), "png\n160\n120"},  // replaces the segments
        {damaged, "", "h264\n320\n240"},
        {damaged, "--video-preset " + Q(dir / "Lossless.QTcd"), "png\n320\n240"},
    };
    for (const auto& [source, extra, video] : runs) {
        const fs::path out = dir / "out.mov";
        ASSERT_EQ(Movelark("compress " + Q(source) + " -o " + Q(out) + " " + extra, &text), 0) << text;
        EXPECT_EQ(Video(out), video) << extra;
        EXPECT_EQ(text.find("warning: The settings stored in \"damaged.mov\" are damaged") != std::string::npos,
                  source == damaged) << text;
    }
    EXPECT_EQ(ReadBytes(damaged), damagedBytes);
}

TEST(CompressCommand, RefusesBadRequestsAndNamesDamageWithOneClearLine) {
    const fs::path dir = ScratchDir();
    const fs::path sound = fixtures::SoundOnlyAac();
    // Arguments, exit status, a word the message holds ("" for any).
    const std::tuple<std::string, int, std::string> cases[] = {
        {"compress " + Q(Source()), 2, "-o"},
        {"compress " + Q(dir / "missing.mov") + " -o " + Q(dir / "x.mov"), 1, "no such file"},
        {"compress " + Q(sound) + " -o " + Q(dir / "x.mov"), 1, "has no pictures"},
        {"compress " + Q(Source()) + " -o " + Q(dir / "x.mov") + " --video-preset 'No Such Preset'", 1, "movelark presets"},
    };
    for (const auto& [args, status, word] : cases) {
        std::string text;
        EXPECT_EQ(Movelark(args, &text), status) << args;
        EXPECT_NE(text.find(word), std::string::npos) << text;
        EXPECT_FALSE(fs::exists(dir / "x.mov")) << args;
    }
    // Cut off half way: what can be read is written, and a warning says what is not.
    const fs::path half = ScratchCutOff(IndexFirstMovie(), fs::file_size(IndexFirstMovie()) / 2, "half.mp4");
    std::string text;
    EXPECT_EQ(Movelark("compress " + Q(half) + " -o " + Q(dir / "half.mov"), &text), 0) << text;
    EXPECT_NE(text.find("movelark: warning: \"half.mp4\" is damaged or incomplete: its pictures from 0:0"),
              std::string::npos) << text;
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
    WriteBytes(ScratchDir() / "p.QTcd", Bytes(MakeVideoSettings(FourCC("png "), 0x200)));  // a preset describes itself
    ASSERT_EQ(Movelark("settings " + Q(ScratchDir() / "p.QTcd"), &text), 0) << text;
    EXPECT_NE(text.find("video"), std::string::npos) << text;
    EXPECT_NE(text.find("PNG"), std::string::npos) << text;
    ASSERT_EQ(Movelark("settings " + Q(stored) + " --json", &text), 0) << text;
    WriteBytes(ScratchDir() / "s.json", text);
    EXPECT_EQ(RunCommand("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                         "assert d[\"outputWidth\"]==160 and d[\"videoSegments\"][0][\"codec\"]==\"Photo - JPEG\"' " +
                         Q(ScratchDir() / "s.json")),
              0);
}

// Mean luma of the top-left 32 x 32 pixels of the first frame.
double CornerLuma(const fs::path& movie) {
    return std::atof(CaptureCommand("ffprobe -v error -f lavfi " + ShellQuote("movie=" + movie.string() + ",crop=32:32:0:0,signalstats") +
                                    " -show_entries frame_tags=lavfi.signalstats.YAVG -read_intervals %+#1 -of csv=p=0").c_str());
}

// An option, what ffprobe is asked and what it must answer: text as it
// stands, or "<N" / ">N" for a number. "corner" asks for CornerLuma.
struct OptionCase {
    const char* name;
    std::string options, probe, expected;
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.options; }

class CompressOption : public ::testing::TestWithParam<OptionCase> {};

TEST_P(CompressOption, ShowsInTheOutput) {
    const OptionCase& c = GetParam();
    const fs::path dir = ScratchDir();
    const fs::path logo = pictures::Picture(32, 32);
    std::string options = c.options;
    if (const size_t at = options.find("LOGO"); at != std::string::npos) options.replace(at, 4, Q(logo));
    const fs::path out = dir / (c.expected == "opus" || c.expected == "av1" ? "out.mp4" : "out.mov");
    std::string text;
    // Quiet means nothing at all on the terminal, whatever the codec library would say.
    ASSERT_EQ(Movelark("compress " + Q(Source()) + " -o " + Q(out) + " --quiet " + options, &text), 0) << text;
    EXPECT_EQ(text, "");
    const std::string answer = c.probe == "corner" ? std::to_string(CornerLuma(out)) : Probe(out, c.probe);
    if (c.expected[0] == '<') EXPECT_LT(std::atof(answer.c_str()), std::atof(c.expected.c_str() + 1)) << answer;
    else if (c.expected[0] == '>') EXPECT_GT(std::atof(answer.c_str()), std::atof(c.expected.c_str() + 1)) << answer;
    else EXPECT_EQ(answer, c.expected);
}

const char* const kVideo = "-select_streams v:0 -show_entries stream=";
const char* const kSound = "-select_streams a:0 -show_entries stream=";

// The default gives h264 at about 82 kbit/s, a corner of luma 55, AAC
// 128 kbit/s in stereo at 48 kHz, two seconds.
INSTANTIATE_TEST_SUITE_P(EachOption, CompressOption, ::testing::Values(
    OptionCase{"codec", "--codec mjpeg", std::string(kVideo) + "codec_name", "mjpeg"},
    OptionCase{"codecwithbanner", "--codec av1", std::string(kVideo) + "codec_name", "av1"},  // SVT-AV1 talks
    OptionCase{"quality", "--quality 10", std::string(kVideo) + "bit_rate", "<60000"},
    OptionCase{"datarate", "--data-rate 40", std::string(kVideo) + "bit_rate", "<60000"},
    OptionCase{"size", "--size 160x120", std::string(kVideo) + "width,height", "160\n120"},
    OptionCase{"sizekeepsproportions", "--size x100", std::string(kVideo) + "width,height", "134\n100"},
    OptionCase{"crop", "--crop 100x80+10+20", std::string(kVideo) + "width,height", "100\n80"},
    OptionCase{"rotate", "--rotate left", std::string(kVideo) + "width,height", "240\n320"},
    OptionCase{"flip", "--flip horizontal", "corner", ">200"},
    OptionCase{"watermark", "--watermark LOGO --placement top-left", "corner", ">70"},
    OptionCase{"exclude", "--exclude 0.5-1 --exclude 0:01.2-0:01.5", "-show_entries format=duration", "<1.3"},
    OptionCase{"sound", "--sound opus", std::string(kSound) + "codec_name", "opus"},
    OptionCase{"soundbitrate", "--sound-bitrate 64", std::string(kSound) + "bit_rate", "<70000"},
    OptionCase{"soundrate", "--sound-rate 22050", std::string(kSound) + "sample_rate", "22050"},
    OptionCase{"channels", "--channels 1", std::string(kSound) + "channels", "1"},
    OptionCase{"soundcopy", "--sound copy", std::string(kSound) + "codec_name", "pcm_s16le"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompressCommand, EveryCommonKindOfMovieIntoOneFolder) {
    // name, ffmpeg arguments for a 1.5 s movie of that kind with sound
    const std::pair<const char*, const char*> kinds[] = {
        {"a.mkv", "-c:v libx264 -c:a aac"},         {"b.webm", "-c:v libvpx-vp9 -c:a libopus"},
        {"c.avi", "-c:v mpeg4 -c:a mp3"},           {"d.ts", "-c:v mpeg2video -c:a mp2"},
        {"e.3gp", "-c:v h263 -s 176x144 -ar 8000 -ac 1 -c:a aac"},
    };
    auto source = [](const char* name, const char* codecs) {
        return FixtureMovie(std::string("kinds-") + name,
                            std::string("-f lavfi -i testsrc2=s=320x240:r=25:d=1.5 -f lavfi -i sine=d=1.5 ") + codecs);
    };
    std::string sources;
    for (const auto& [name, codecs] : kinds) sources += " " + Q(source(name, codecs));
    const fs::path folder = ScratchDir() / "out";
    std::string text;
    ASSERT_EQ(Movelark("compress" + sources + " -o " + Q(folder) + " --quiet", &text), 0) << text;
    // A transport stream lists its tracks once more under its program.
    auto frames = [](const fs::path& movie) {
        const std::string all = Probe(movie, "-count_frames -select_streams v:0 -show_entries stream=nb_read_frames");
        return all.substr(0, all.find_first_of(",\n"));
    };
    for (const auto& [name, codecs] : kinds) {
        const fs::path out = folder / ("kinds-" + fs::path(name).replace_extension(".mov").string());
        EXPECT_EQ(frames(out), frames(source(name, codecs))) << name;
        EXPECT_EQ(Probe(out, "-show_entries stream=codec_name"), "h264\naac") << name;
    }
}

TEST(CompressCommand, DoubleDashProgressAndPresetsByName) {
    const fs::path dir = ScratchDir();
    std::string text;
    // After "--" a name that starts with a dash is a source.
    ScratchCopy(Source(), "-clip.mov");
    ASSERT_EQ(RunCommand("cd " + Q(dir) + " && " + ShellQuote(MovelarkBinary().string()) +
                         " compress -o out.mov --video-preset 'h.264 web' -- -clip.mov 2>" + Q(dir / "log")), 0);
    text = ReadBytes(dir / "log");
    for (const char* shown : {"100%", " fps", " taken", " MB", "Wrote "}) EXPECT_NE(text.find(shown), std::string::npos) << shown << text;
}

TEST(CompressCommand, EveryTrackChapterAndDetailIsKeptWithTheSpanCutFromEach) {
    const fs::path dir = ScratchDir();
    WriteBytes(dir / "subs.srt", "1\n00:00:00,500 --> 00:00:01,500\nOne\n\n2\n00:00:02,500 --> 00:00:03,500\nTwo\n\n"
                                 "3\n00:00:04,500 --> 00:00:05,500\nThree\n");
    std::string chapters = ";FFMETADATA1\ntitle=Four Tracks\nartist=Someone\n";
    const char* titles[] = {"Opening", "Middle", "Ending"};
    for (int i = 0; i < 3; ++i)
        chapters += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(2000 * i) + "\nEND=" + std::to_string(2000 * i + 2000) +
                    "\ntitle=" + titles[i] + "\n";
    WriteBytes(dir / "chapters.txt", chapters);
    const fs::path source = dir / "four.mkv";
    ASSERT_EQ(RunCommand("ffmpeg -nostdin -v error -f lavfi -i testsrc2=s=160x120:r=25:d=6 -f lavfi -i sine=f=300:d=6 "
                         "-f lavfi -i sine=f=600:d=6 -i " + Q(dir / "subs.srt") + " -i " + Q(dir / "chapters.txt") +
                         " -map 0 -map 1 -map 2 -map 3 -map_metadata 4 -map_chapters 4 -c:v mjpeg -c:a pcm_s16le -c:s srt "
                         "-metadata:s:a:1 language=fra " + Q(source)), 0);
    const fs::path out = dir / "four.mov";
    std::string text;
    ASSERT_EQ(Movelark("compress " + Q(source) + " -o " + Q(out) + " --exclude 1-3 --quiet", &text), 0) << text;
    EXPECT_EQ(Probe(out, "-show_entries stream=codec_name").rfind("h264\naac\npcm_s16le\nmov_text\n", 0), 0u);
    EXPECT_EQ(Probe(out, "-select_streams a:1 -show_entries stream_tags=language"), "fra");
    EXPECT_NEAR(std::atof(Probe(out, "-select_streams a:1 -show_entries stream=duration").c_str()), 4.0, 0.1);
    // Cues: 0.5-1.5 loses its end to the cut, 2.5-3.5 keeps what follows it, 4.5 moves up two seconds.
    EXPECT_EQ(CaptureCommand("ffmpeg -v error -i " + Q(out) + " -map 0:s:0 -f srt -"),
              "1\n00:00:00,500 --> 00:00:01,000\nOne\n\n2\n00:00:01,000 --> 00:00:01,500\nTwo\n\n"
              "3\n00:00:02,500 --> 00:00:03,500\nThree\n\n");
    EXPECT_EQ(Probe(out, "-show_entries chapter=start_time:chapter_tags=title"),
              "0.000000\nOpening\n1.000000\nMiddle\n2.000000\nEnding");
    EXPECT_EQ(Probe(out, "-show_entries format_tags=title"), "Four Tracks");
    EXPECT_EQ(Probe(out, "-show_entries format_tags=artist"), "Someone");
}

}  // namespace
