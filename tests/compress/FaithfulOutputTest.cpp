// Sources made the way cameras, phones and other tools make them: odd and
// non-square sizes, sound the destination cannot copy, stereo folded to
// mono, untagged, tagged and HDR colour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "platform/media/encode/SoundSettings.h"
#include "support/CompressJob.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using namespace compressfixtures;
using namespace testsupport;

namespace {

constexpr const char* kPicture = "-f lavfi -i testsrc=r=10:d=1:s=";
constexpr const char* kTone = " -f lavfi -i 'aevalsrc=0.891*sin(2*PI*440*t):s=48000:c=stereo:d=1' -shortest";

constexpr const char* kGreen = "-f lavfi -i color=c=0x00FF00:r=10:d=1:s=";
constexpr const char* kColourProbe = "stream=pix_fmt,color_range,color_space,color_transfer,color_primaries";
constexpr const char* kPalTags = " -colorspace bt470bg -color_primaries bt470bg -color_trc gamma28";
constexpr const char* kPq = " -c:v libx265 -pix_fmt yuv420p10le -x265-params log-level=error "
                            "-color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc";

struct Source {
    const char* name;  // the fixture's file name; its extension picks the container
    std::string args;  // for the ffmpeg tool
};

OSErr CompressOne(const Source& source, OSType video, const Handle* sound, const fs::path& out, std::string& notes) {
    Job job;
    job.video.Append(VideoSegment(video, 0x200, 0, 1));
    if (sound) job.audio.Append(std::make_unique<Handle>(*sound));
    return Compress(FixtureMovie(source.name, source.args), out, job, &notes);
}

}  // namespace

// Every case writes a playable movie; what ffprobe says of it and the note
// the job gives are what a user would check.
TEST(FaithfulOutput, EachSourceBecomesWhatTheDestinationHolds) {
    const std::string h264 = " -c:v libx264 -preset ultrafast -pix_fmt yuv420p";
    const struct Case {
        Source source;
        const char* codec;
        const char* destination;
        const char* probe;
        const char* expected;
        const char* note;  // part of the job's notes; "" when there must be none
        bool pureGreen = false;  // the picture is pure green and must stay so
    } cases[] = {
        // Sizes taken from the source are trimmed to what the codec takes.
        {{"odd.mov", kPicture + std::string("641x481 -c:v png")}, "avc1", "o.mp4", "stream=width,height", "640\n480",
         "from 641 x 481 to 640 x 480: H.264 needs an even width and height"},
        {{"sar43.mp4", kPicture + std::string("640x480 -vf setsar=4/3") + h264}, "avc1", "a.mov", "stream=width,height",
         "852\n480", "from 853 x 480 to 852 x 480"},
        {{"odd321.mov", kPicture + std::string("321x241 -c:v png")}, "SVQ1", "s.mov", "stream=width,height",
         "320\n240", "Sorenson Video needs a width and height in multiples of 4"},
        {{"odd321.mov", kPicture + std::string("321x241 -c:v png")}, "apcn", "p.mov", "stream=width,height",
         "320\n241", "ProRes 422 needs an even width"},
        // Sound that cannot be copied into the container is converted.
        {{"pcm.mov", kPicture + std::string("160x120") + kTone + h264 + " -c:a pcm_s16le"}, "avc1", "pcm.mp4",
         "stream=codec_name", "h264\naac", "(pcm_s16le) cannot be copied into an MP4 movie"},
        {{"opus.mp4", kPicture + std::string("160x120") + kTone + h264 + " -c:a libopus"}, "avc1", "opus.mov",
         "stream=codec_name", "h264\naac",
         "(opus) cannot be copied into a QuickTime movie, so it is converted to AAC at 128 kbit/s"},
        {{"aac.mov", kPicture + std::string("160x120") + kTone + h264 + " -c:a aac"}, "avc1", "aac.mp4",
         "stream=codec_name", "h264\naac", ""},
        // Untagged pictures are read as players read them, on the YUV path
        // (H.264) and through RGB (PNG, Motion JPEG); tagged ones keep their tags.
        {{"green-hd.mp4", kGreen + std::string("1280x720 -vf scale=out_color_matrix=bt709") + h264}, "avc1", "g.mp4",
         kColourProbe, "yuv420p\ntv\nbt709\nbt709\nbt709", "", true},
        {{"green-hd.mp4", kGreen + std::string("1280x720 -vf scale=out_color_matrix=bt709") + h264}, "png ", "g.mov",
         "stream=pix_fmt", "rgb24", "", true},
        {{"green-hd.mp4", kGreen + std::string("1280x720 -vf scale=out_color_matrix=bt709") + h264}, "mjpa", "gj.mov",
         "stream=color_range,color_space", "pc\nbt470bg", "", true},
        // A small picture tagged BT.709 is read by its tags, not by its size.
        {{"green-709.mp4", kGreen + std::string("320x240 -vf scale=out_color_matrix=bt709 -colorspace bt709") + h264},
         "mjpa", "g709.mov", "stream=color_space", "bt470bg", "", true},
        {{"sd.mp4", kPicture + std::string("640x480") + h264}, "avc1", "sd.mp4", kColourProbe,
         "yuv420p\ntv\nsmpte170m\nsmpte170m\nsmpte170m", ""},
        {{"pal.mp4", kPicture + std::string("720x576") + h264 + kPalTags}, "avc1", "pal.mov", kColourProbe,
         "yuv420p\ntv\nbt470bg\nbt470bg\nbt470bg", ""},
        // HDR keeps its tags and ten bits where the codec can hold them.
        {{"pq.mp4", kPicture + std::string("320x240") + kPq}, "hvc1", "pq.mp4", kColourProbe,
         "yuv420p10le\ntv\nbt2020nc\nsmpte2084\nbt2020", ""},
        {{"pq.mp4", kPicture + std::string("320x240") + kPq}, "apch", "pq.mov", kColourProbe,
         "yuv422p10le\ntv\nbt2020nc\nsmpte2084\nbt2020", ""},
        {{"pq.mp4", kPicture + std::string("320x240") + kPq}, "avc1", "sdr.mp4", kColourProbe,
         "yuv420p\ntv\nbt709\nbt709\nbt709", "tone-mapped to SDR (BT.709), as H.264 cannot hold them"},
    };
    const fs::path dir = ScratchDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source.name) + " as " + c.codec + " into " + c.destination);
        std::string notes;
        const fs::path out = dir / c.destination;
        ASSERT_EQ(CompressOne(c.source, Code(c.codec), nullptr, out, notes), noErr) << notes;
        EXPECT_EQ(Probe(out, std::string("-show_entries ") + c.probe), c.expected);
        if (*c.note) EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
        else EXPECT_EQ(notes, "");
        EXPECT_EQ(notes.find("compressing"), std::string::npos) << "the temporary file is named: " << notes;
        EXPECT_TRUE(DecodesCleanly(out));
        if (!c.pureGreen) continue;
        int w = 0, h = 0;
        const std::vector<uint8_t> rgb = FramePixels(out, 0, w, h);
        ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
        const uint8_t* centre = rgb.data() + (size_t(h / 2) * w + w / 2) * 3;
        EXPECT_LE(centre[0], 8);
        EXPECT_GE(centre[1], 247);  // read as BT.601, BT.709 green drops to about 216
        EXPECT_LE(centre[2], 8);
    }
}

// Interlaced camera and broadcast pictures come out whole: ffmpeg's field
// detector finds combing in every source frame and in hardly any output one.
TEST(FaithfulOutput, InterlacedPicturesComeOutWhole) {
    const std::string fields = "-f lavfi -i testsrc2=s=320x240:r=50:d=1 -r 25 -flags +ildct+ilme -vf tinterlace=";
    const Source sources[] = {
        {"tff.mp4", fields + "interleave_top,setfield=tff -c:v libx264 -x264opts tff=1 -pix_fmt yuv420p"},
        {"bff.ts", fields + "interleave_bottom,setfield=bff -c:v mpeg2video -top 0 -q:v 2"},
    };
    auto combed = [](const fs::path& movie) {
        const std::string report = CaptureCommand("ffmpeg -nostdin -i " + Q(movie) +
                                                  " -vf idet -f null - 2>&1 | grep 'Single frame'");
        int tff = -1, bff = -1;
        const size_t at = report.find("TFF:");
        if (at != std::string::npos) std::sscanf(report.c_str() + at, "TFF: %d BFF: %d", &tff, &bff);
        return tff + bff;
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.name);
        EXPECT_EQ(combed(FixtureMovie(source.name, source.args)), 25);
        std::string notes;
        const fs::path out = ScratchDir() / "whole.mp4";
        ASSERT_EQ(CompressOne(source, FourCC("avc1"), nullptr, out, notes), noErr) << notes;
        EXPECT_NE(notes.find("are interlaced: each frame is made whole from its two fields"), std::string::npos);
        EXPECT_LE(combed(out), 4);
        EXPECT_EQ(CountFrames(out), 25);
    }
}

// Two equal channels at -1 dBFS fold into one at -1 dBFS for every sound
// type, integer or float, plain or compressed.
TEST(FaithfulOutput, FoldingStereoToMonoKeepsThePeak) {
    const Source tone{"tone.mov", kPicture + std::string("160x120") + kTone +
                                      " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a pcm_s24le"};
    const fs::path dir = ScratchDir();
    for (const char* type : {"twos", "in24", "fl32", "aac ", "alac"}) {
        SCOPED_TRACE(type);
        const Handle mono = MakeSoundSettings(Code(type), 1, 0, 0);
        std::string notes;
        const fs::path out = dir / "mono.mov";
        ASSERT_EQ(CompressOne(tone, FourCC("avc1"), &mono, out, notes), noErr) << notes;
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=channels"), "1");
        const std::string report = CaptureCommand("ffmpeg -nostdin -i " + ShellQuote(out.string()) +
                                                  " -map 0:a -af volumedetect -f null - 2>&1 | grep max_volume");
        const size_t at = report.find("max_volume:");
        ASSERT_NE(at, std::string::npos) << report;
        EXPECT_NEAR(std::stod(report.substr(at + 11)), -1.0, 0.6) << report;
    }
}
