// Video encoders through the movie writer: every codec writes a movie that
// decodes; quality, key frames, data rate, frame times and options take
// effect; bad requests are refused. The settings' pixel depth picks the
// pixel format of the codecs that offer a choice: each case is read back
// with ffprobe, decoded, and its first frame compared with the picture that
// went in. Also the one-shot still compressor.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/StillImageCompressor.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoEncoder.h"
#include "support/EncodeMovies.h"
#include "support/TestSupport.h"

using encodetest::Segment;
using namespace testsupport;

namespace {

VideoSettings Settings(OSType type, int quality = 0x200, int keyFrameRate = 0, uint32_t dataRate = 0) {
    VideoSettings s;
    s.codecType = type;
    s.spatialQuality = quality;
    s.keyFrameRate = keyFrameRate;
    s.dataRate = dataRate;
    return s;
}

Segment Frames(VideoSettings settings, int count, int64_t duration = 20) {
    return Segment{settings, std::vector<int64_t>(size_t(count), duration)};
}

std::vector<bool> Write(const fs::path& out, const std::vector<Segment>& segments, int w = 96, int h = 64,
                        int noise = 8) {
    return encodetest::WriteVideoMovie(out, segments, w, h, noise);
}

std::string Video(const fs::path& out, const char* entries) {
    return Probe(out, std::string("-select_streams v:0 -show_entries stream=") + entries);
}

const std::map<OSType, std::string> kDecoderNames = {
    {FourCC("raw "), "rawvideo"}, {FourCC("jpeg"), "mjpeg"},   {FourCC("mjpa"), "mjpeg"}, {FourCC("png "), "png"},
    {FourCC("rle "), "qtrle"},    {FourCC("rpza"), "rpza"},    {FourCC("smc "), "smc"},   {FourCC("cvid"), "cinepak"},
    {FourCC("SVQ1"), "svq1"},     {FourCC("mp4v"), "mpeg4"},   {FourCC("avc1"), "h264"},  {FourCC("hvc1"), "hevc"},
    {FourCC("vp09"), "vp9"},      {FourCC("av01"), "av1"},     {FourCC("apcn"), "prores"}, {FourCC("apch"), "prores"},
    {FourCC("apcs"), "prores"},   {FourCC("apco"), "prores"},  {FourCC("ap4h"), "prores"},
};

TEST(VideoEncoder, EveryAvailableCodecWritesAMovieThatDecodes) {
    const fs::path dir = ScratchDir();
    int tried = 0;
    for (const VideoCodecInfo& codec : VideoCodecTable::All()) {
        if (!codec.IsAvailable()) continue;
        SCOPED_TRACE(codec.name);
        ++tried;
        const fs::path out = dir / (FourCCToString(codec.type) + (codec.movAllowed ? ".mov" : ".mp4"));
        const std::vector<bool> keys = Write(out, {Frames(Settings(codec.type), 6)});
        ASSERT_EQ(keys.size(), 6u);
        EXPECT_TRUE(keys.front());
        EXPECT_EQ(Video(out, "codec_name,width,height"), kDecoderNames.at(codec.type) + "\n96\n64");
        EXPECT_EQ(Probe(out, "-select_streams v:0 -count_frames -show_entries stream=nb_read_frames"), "6");
        EXPECT_EQ(DecodeErrors(out), "");
    }
    EXPECT_GE(tried, 10);
    EXPECT_EQ(VideoCodecTable::All().size(), kDecoderNames.size());
    // Odd sizes are cropped for chroma-subsampled codecs.
    Write(dir / "odd.mov", {Frames(Settings(FourCC("avc1")), 3)}, 97, 65);
    EXPECT_EQ(Video(dir / "odd.mov", "width,height"), "96\n64");
    EXPECT_EQ(DecodeErrors(dir / "odd.mov"), "");
}

TEST(VideoEncoder, HigherQualityGivesABiggerFile) {
    const fs::path dir = ScratchDir();
    // One rate-factor family and the fixed-quantiser ones, which read the
    // quality from every frame.
    for (OSType type : {FourCC("avc1"), FourCC("jpeg"), FourCC("mp4v"), FourCC("apcn")}) {
        SCOPED_TRACE(FourCCToString(type));
        uintmax_t last = 0;
        for (int quality : {0x000, 0x100, 0x200, 0x300, 0x3FF}) {
            Write(dir / "q.mov", {Frames(Settings(type, quality), 10)}, 160, 120);
            EXPECT_GT(fs::file_size(dir / "q.mov"), last) << quality;
            last = fs::file_size(dir / "q.mov");
        }
    }
}

// Each ProRes flavour is written with its own profile, so the same frames
// take more room from Proxy to HQ.
TEST(VideoEncoder, ProResFlavoursHaveTheirOwnProfileAndSize) {
    const fs::path dir = ScratchDir();
    uintmax_t smaller = 0;
    for (const char* flavour : {"apco Proxy", "apcs LT", "apcn Standard", "apch HQ", "ap4h 4444"}) {
        SCOPED_TRACE(flavour);
        Write(dir / "prores.mov", {Frames(Settings(Code(flavour)), 6)}, 160, 120, 24);
        EXPECT_EQ(Probe(dir / "prores.mov", "-select_streams v:0 -show_entries stream=profile"), flavour + 5);
        EXPECT_GT(fs::file_size(dir / "prores.mov"), smaller);
        smaller = fs::file_size(dir / "prores.mov");
    }
}

TEST(VideoEncoder, EverySegmentStartsWithAKeyFrameAndKeyFrameRateLimitsTheDistance) {
    const std::pair<OSType, const char*> cases[] = {{FourCC("avc1"), "two.mov"}, {FourCC("hvc1"), "two.mov"},
                                                    {FourCC("hvc1"), "two.mp4"}, {FourCC("mp4v"), "two.mov"},
                                                    {FourCC("vp09"), "two.mp4"}, {FourCC("av01"), "two.mp4"}};
    for (auto [type, name] : cases) {
        SCOPED_TRACE(FourCCToString(type) + " " + name);
        if (!VideoCodecTable::Find(type)->IsAvailable()) continue;
        const fs::path out = ScratchDir() / name;
        // Different qualities: the second encoder's headers differ from the first's.
        const auto keys = Write(out, {Frames(Settings(type, 0x100), 7), Frames(Settings(type, 0x300), 5)});
        ASSERT_EQ(keys.size(), 12u);
        EXPECT_TRUE(keys[0] && keys[7]);
        const auto frames = encodetest::DecodedKeyFrames(out);
        ASSERT_EQ(frames.size(), 12u);
        EXPECT_TRUE(frames[0] && frames[7] && !frames[6]);
        EXPECT_EQ(DecodeErrors(out), "");
    }
    int sinceKey = 0;
    for (bool key : Write(ScratchDir() / "gop.mov", {Frames(Settings(FourCC("avc1"), 0x200, 4), 12)})) {
        sinceKey = key ? 0 : sinceKey + 1;
        EXPECT_LT(sinceKey, 4);
    }
}

TEST(VideoEncoder, DataRateControlRoughlyHitsItsTarget) {
    const fs::path out = ScratchDir() / "rate.mov";
    const uint32_t bytesPerSecond = 25000;
    // 3 seconds at 30 fps of noisy frames: far above the target at normal quality.
    Write(out, {Frames(Settings(FourCC("avc1"), 0x200, 0, bytesPerSecond), 90)}, 160, 120, 60);
    const double videoBytes = std::stod(Video(out, "bit_rate")) / 8;
    EXPECT_GT(videoBytes, bytesPerSecond * 0.6);
    EXPECT_LT(videoBytes, bytesPerSecond * 1.4);
}

TEST(VideoEncoder, FrameDurationsAreExactIncludingAShortLastFrame) {
    for (OSType type : {FourCC("avc1"), FourCC("jpeg")}) {
        SCOPED_TRACE(FourCCToString(type));
        const fs::path out = ScratchDir() / "durations.mov";
        Segment first = Frames(Settings(type), 4, 20);
        first.durations.push_back(7);  // the segment ends between two frame times
        Segment second = Frames(Settings(type, 0x300), 3, 20);
        second.durations.push_back(11);
        Write(out, {first, second});
        EXPECT_EQ(Video(out, "time_base,duration_ts"), "1/600\n158");
        EXPECT_EQ(Lines(Probe(out, "-select_streams v:0 -show_entries packet=duration")),
                  (std::vector<std::string>{"20", "20", "20", "20", "7", "20", "20", "20", "11"}));
        EXPECT_EQ(Lines(Probe(out, "-select_streams v:0 -show_entries packet=pts")).at(5), "87");
    }
}

TEST(VideoEncoder, OptionsReachTheEncoderAndBadRequestsAreRefusedClearly) {
    VideoSettings s = Settings(FourCC("avc1"));
    s.options = {{"preset", "ultrafast"}, {"x264-params", "keyint=2"}};
    const auto keys = Write(ScratchDir() / "opts.mov", {Segment{s, std::vector<int64_t>(6, 20)}});
    EXPECT_EQ(std::count(keys.begin(), keys.end(), true), 3);

    VideoEncoder encoder;
    const auto [unknown, unknownMessage] = Thrown([&] { encoder.Open(Settings(FourCC("zzzz")), 96, 64); });
    EXPECT_EQ(unknown, kNoCodecErr);
    EXPECT_NE(unknownMessage.find("zzzz"), std::string::npos) << unknownMessage;
    for (int width : {0, 100000})
        EXPECT_NE(ErrorCode([&] { encoder.Open(Settings(FourCC("avc1")), width, 64); }, false), 0) << width;
    s.options = {{"no-such-option", "1"}};
    const auto [badOption, badOptionMessage] = Thrown([&] { encoder.Open(s, 96, 64); });
    EXPECT_EQ(badOption, kCodecErr);
    EXPECT_NE(badOptionMessage.find("no-such-option=1"), std::string::npos) << badOptionMessage;
    EXPECT_FALSE(encoder.IsOpen());
}

TEST(VideoEncoder, ClosingWithFramesInFlightDoesNotHang) {
    // Some encoders (SVT-AV1) must be drained before they can be closed.
    for (OSType type : {FourCC("av01"), FourCC("avc1")}) {
        if (!VideoCodecTable::Find(type)->IsAvailable()) continue;
        {
            VideoEncoder unused;  // opened, never fed
            unused.Open(Settings(type), 96, 64);
            EXPECT_TRUE(unused.IsOpen());
        }
        VideoEncoder encoder;
        encoder.Open(Settings(type), 96, 64);
        OffscreenWorld world(96, 64);
        std::vector<EncodedPacket> out;
        for (int i = 0; i < 3; ++i) {
            encodetest::DrawFrame(world, i);
            encoder.Encode(world, i * 20, 20, out);
        }
        EXPECT_LT(out.size(), 3u) << FourCCToString(type) << ": no frame was left in flight";
    }
}

TEST(StillImage, CompressesAndDecodesOnePictureAndRefusesBadInput) {
    OffscreenWorld picture(64, 48);
    encodetest::DrawFrame(picture, 0, 0);
    for (OSType type : {FourCC("jpeg"), FourCC("avc1"), FourCC("png "), FourCC("smc "), FourCC("raw "),
                        FourCC("mp4v")}) {
        SCOPED_TRACE(FourCCToString(type));
        CompressedImage image;
        ASSERT_TRUE(CompressImageOnce(picture, type, 0x300, image));
        EXPECT_EQ(image.codecType, type);
        OffscreenWorld back;
        ASSERT_TRUE(DecompressImage(image, back));
        ASSERT_EQ(std::pair(back.Width(), back.Height()), std::pair(64, 48));
        const uint8_t* p = back.Row(8) + 8 * 3;  // the square's red stays red
        EXPECT_GT(p[0], 160);
        EXPECT_LT(p[1], 110);
    }
    CompressedImage raw;
    ASSERT_TRUE(CompressPreviewImage(Handle(), picture, raw));
    EXPECT_EQ(raw.codecType, FourCC("raw "));
    EXPECT_EQ(raw.data.size(), 64u * 48u * 3u);

    OffscreenWorld empty, back;
    CompressedImage image, none;
    EXPECT_FALSE(CompressImageOnce(empty, FourCC("jpeg"), 0x200, image));
    EXPECT_FALSE(CompressImageOnce(picture, FourCC("zzzz"), 0x200, image));
    EXPECT_FALSE(DecompressImage(none, back));
}

constexpr int kWidth = 48, kHeight = 32;

// What the decoded picture must look like.
enum class Look {
    Same,       // the same colours (lossless)
    Near,       // the same colours within a step of a coarser format
    Grey,       // grey levels close to the picture's brightness
    TwoLevel,   // only black and white
};

struct Case {
    OSType type;
    int16_t depth;
    const char* probed;  // the pixel format ffprobe reports (the decoder's)
    Look look;
    int tolerance = 0;   // for Near
    const char* extension = ".mov";
};

std::string Name(const Case& c) { return FourCCToString(c.type) + " depth " + std::to_string(c.depth) + c.extension; }

// The first frame decoded as RGBA.
std::string FirstFrameRgba(const fs::path& movie) {
    return CaptureCommand("ffmpeg -v error -i " + Q(movie) + " -frames:v 1 -f rawvideo -pix_fmt rgba -");
}

void CheckLook(const Case& c, const std::string& decoded) {
    ASSERT_EQ(decoded.size(), size_t(kWidth * kHeight * 4));
    OffscreenWorld source(kWidth, kHeight);
    encodetest::DrawFrame(source, 0);
    int worst = 0;
    bool sawColour = false;
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* s = source.Row(y);
        for (int x = 0; x < kWidth; ++x, s += 3) {
            const auto* d = reinterpret_cast<const uint8_t*>(decoded.data()) + (y * kWidth + x) * 4;
            ASSERT_EQ(d[3], 255) << "opaque at " << x << "," << y;
            const bool grey = d[0] == d[1] && d[1] == d[2];
            sawColour = sawColour || !grey;
            switch (c.look) {
            case Look::Same:
            case Look::Near:
                for (int i = 0; i < 3; ++i) worst = std::max(worst, std::abs(int(d[i]) - int(s[i])));
                break;
            case Look::Grey: {
                ASSERT_TRUE(grey) << x << "," << y;
                const double luma = 0.299 * s[0] + 0.587 * s[1] + 0.114 * s[2];
                worst = std::max(worst, int(std::lround(std::abs(d[0] - luma))));
                break;
            }
            case Look::TwoLevel:
                ASSERT_TRUE(grey && (d[0] == 0 || d[0] == 255)) << x << "," << y << ": " << int(d[0]);
                break;
            }
        }
    }
    // Grey levels use the full range: only rounding may differ.
    const int allowed[] = {0, c.tolerance, 2, 0};
    EXPECT_LE(worst, allowed[int(c.look)]);
    EXPECT_EQ(sawColour, c.look == Look::Same || c.look == Look::Near);
}

TEST(VideoDepth, EachDepthGivesItsPixelFormatAndDecodesToThePicture) {
    const OSType png = FourCC("png "), rle = FourCC("rle "), raw = FourCC("raw ");
    // The Animation decoder hands grey frames out as a grey palette; mov
    // reads 8-bit grey raw frames as a palette too.
    const Case cases[] = {
        {png, 1, "monob", Look::TwoLevel},
        {png, 2, "gray", Look::Grey},
        {png, 8, "pal8", Look::Near, 40},
        {png, 16, "rgb24", Look::Same},
        {png, 32, "rgba", Look::Same},
        {png, 0, "rgb24", Look::Same},
        {rle, 0, "rgb24", Look::Same},
        {raw, 0, "rgb24", Look::Same},
        {FourCC("smc "), 0, "pal8", Look::Near, 26},
        {png, 1, "monob", Look::TwoLevel, 0, ".mp4"},
        {rle, 8, "pal8", Look::Grey},
        {rle, 16, "rgb555le", Look::Near, 8},
        {raw, 2, "pal8", Look::Grey},
        {raw, 8, "pal8", Look::Near, 40},
        {raw, 16, "rgb555be", Look::Near, 8},
        {raw, 32, "argb", Look::Same},
        // Without a depth choice the depth changes nothing.
        {FourCC("mp4v"), 1, "yuv420p", Look::Near, 255},
    };
    const fs::path dir = ScratchDir();
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c));
        VideoSettings settings;
        settings.codecType = c.type;
        settings.depth = c.depth;
        const fs::path out = dir / (FourCCToString(c.type).substr(0, 3) + std::to_string(c.depth) + c.extension);
        encodetest::WriteVideoMovie(out, {encodetest::Segment{settings, {20, 20, 20}}}, kWidth, kHeight);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=pix_fmt"), c.probed);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -count_frames -show_entries stream=nb_read_frames"), "3");
        EXPECT_EQ(DecodeErrors(out), "");
        CheckLook(c, FirstFrameRgba(out));
    }
}

}  // namespace
