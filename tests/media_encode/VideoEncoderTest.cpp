#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "EncodeTestSupport.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/StillImageCompressor.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoEncoder.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using encodetest::Lines;
using encodetest::Segment;
using testsupport::Probe;

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

const std::map<OSType, std::string> kDecoderNames = {
    {FourCC("raw "), "rawvideo"}, {FourCC("jpeg"), "mjpeg"}, {FourCC("mjpa"), "mjpeg"},
    {FourCC("png "), "png"},      {FourCC("rle "), "qtrle"}, {FourCC("rpza"), "rpza"},
    {FourCC("smc "), "smc"},      {FourCC("cvid"), "cinepak"}, {FourCC("SVQ1"), "svq1"},
    {FourCC("mp4v"), "mpeg4"},    {FourCC("avc1"), "h264"},  {FourCC("hvc1"), "hevc"},
    {FourCC("vp09"), "vp9"},      {FourCC("av01"), "av1"},   {FourCC("apcn"), "prores"},
    {FourCC("apch"), "prores"},   {FourCC("apcs"), "prores"}, {FourCC("apco"), "prores"},
    {FourCC("ap4h"), "prores"},
};

}  // namespace

TEST(VideoEncoder, EveryAvailableCodecWritesAMovieThatDecodes) {
    const fs::path dir = testsupport::ScratchDir();
    int tried = 0;
    for (const VideoCodecInfo& codec : VideoCodecTable::All()) {
        if (!codec.IsAvailable()) continue;
        SCOPED_TRACE(codec.name);
        ++tried;
        const fs::path out = dir / (FourCCToString(codec.type) + (codec.movAllowed ? ".mov" : ".mp4"));
        const std::vector<bool> keys = encodetest::WriteVideoMovie(out, {Frames(Settings(codec.type), 6)}, 96, 64);
        ASSERT_EQ(keys.size(), 6u);
        EXPECT_TRUE(keys.front());
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=codec_name"), kDecoderNames.at(codec.type));
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width"), "96");
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=height"), "64");
        EXPECT_EQ(Probe(out, "-select_streams v:0 -count_frames -show_entries stream=nb_read_frames"), "6");
        EXPECT_EQ(encodetest::DecodeErrors(out), "");
    }
    EXPECT_GE(tried, 10);
}

TEST(VideoEncoder, OddSizesAreCroppedForChromaSubsampledCodecs) {
    const fs::path out = testsupport::ScratchDir() / "odd.mov";
    encodetest::WriteVideoMovie(out, {Frames(Settings(FourCC("avc1")), 3)}, 97, 65);
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=width"), "96");
    EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=height"), "64");
    EXPECT_EQ(encodetest::DecodeErrors(out), "");
}

TEST(VideoEncoder, HigherQualityGivesABiggerFile) {
    const fs::path dir = testsupport::ScratchDir();
    // One rate-factor family and the fixed-quantiser ones, which read the
    // quality from every frame.
    for (OSType type : {FourCC("avc1"), FourCC("jpeg"), FourCC("mp4v")}) {
        SCOPED_TRACE(FourCCToString(type));
        std::vector<uintmax_t> sizes;
        for (int quality : {0x000, 0x100, 0x200, 0x300, 0x3FF}) {
            const fs::path out = dir / ("q" + std::to_string(quality) + ".mov");
            encodetest::WriteVideoMovie(out, {Frames(Settings(type, quality), 10)}, 160, 120);
            sizes.push_back(fs::file_size(out));
        }
        for (size_t i = 1; i < sizes.size(); ++i) EXPECT_GT(sizes[i], sizes[i - 1]) << "step " << i;
    }
    // The still-image path too.
    OffscreenWorld picture(64, 48);
    encodetest::DrawFrame(picture, 0, 0);
    CompressedImage low, high;
    ASSERT_TRUE(CompressImageOnce(picture, FourCC("jpeg"), 0x080, low));
    ASSERT_TRUE(CompressImageOnce(picture, FourCC("jpeg"), 0x380, high));
    EXPECT_LT(low.data.size(), high.data.size());
}

TEST(VideoEncoder, SecondSegmentStartsWithAKeyFrameAndTheFileDecodesAcrossIt) {
    const std::pair<OSType, const char*> cases[] = {{FourCC("avc1"), "two.mov"}, {FourCC("hvc1"), "two.mov"},
                                                    {FourCC("hvc1"), "two.mp4"}, {FourCC("mp4v"), "two.mov"},
                                                    {FourCC("vp09"), "two.mp4"}, {FourCC("av01"), "two.mp4"}};
    for (auto [type, name] : cases) {
        SCOPED_TRACE(FourCCToString(type) + " " + name);
        if (!VideoCodecTable::Find(type)->IsAvailable()) continue;
        const fs::path out = testsupport::ScratchDir() / name;
        // Different qualities: the second encoder's headers differ from the first's.
        const auto keys = encodetest::WriteVideoMovie(
            out, {Frames(Settings(type, 0x100), 7), Frames(Settings(type, 0x300), 5)}, 96, 64);
        ASSERT_EQ(keys.size(), 12u);
        EXPECT_TRUE(keys[0]);
        EXPECT_TRUE(keys[7]);
        const auto frames = encodetest::DecodedKeyFrames(out);
        ASSERT_EQ(frames.size(), 12u);
        EXPECT_TRUE(frames[0]);
        EXPECT_TRUE(frames[7]);
        EXPECT_FALSE(frames[6]);
        EXPECT_EQ(encodetest::DecodeErrors(out), "");
    }
}

TEST(VideoEncoder, KeyFrameRateLimitsTheDistanceBetweenKeyFrames) {
    const fs::path out = testsupport::ScratchDir() / "gop.mov";
    const auto keys = encodetest::WriteVideoMovie(out, {Frames(Settings(FourCC("avc1"), 0x200, 4), 12)}, 96, 64);
    int sinceKey = 0;
    for (bool key : keys) {
        sinceKey = key ? 0 : sinceKey + 1;
        EXPECT_LT(sinceKey, 4);
    }
}

TEST(VideoEncoder, DataRateControlRoughlyHitsItsTarget) {
    const fs::path out = testsupport::ScratchDir() / "rate.mov";
    const uint32_t bytesPerSecond = 25000;
    // 3 seconds at 30 fps of noisy frames: far above the target at normal quality.
    encodetest::WriteVideoMovie(out, {Frames(Settings(FourCC("avc1"), 0x200, 0, bytesPerSecond), 90)}, 160, 120, 60);
    const double videoBytes = std::stod(Probe(out, "-select_streams v:0 -show_entries stream=bit_rate")) / 8;
    EXPECT_GT(videoBytes, bytesPerSecond * 0.6);
    EXPECT_LT(videoBytes, bytesPerSecond * 1.4);
}

TEST(VideoEncoder, FrameDurationsAreExactIncludingAShortLastFrame) {
    for (OSType type : {FourCC("avc1"), FourCC("jpeg")}) {
        SCOPED_TRACE(FourCCToString(type));
        const fs::path out = testsupport::ScratchDir() / "durations.mov";
        Segment first = Frames(Settings(type), 4, 20);
        first.durations.push_back(7);  // the segment ends between two frame times
        Segment second = Frames(Settings(type, 0x300), 3, 20);
        second.durations.push_back(11);
        encodetest::WriteVideoMovie(out, {first, second}, 96, 64);
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=time_base"), "1/600");
        const auto durations = Lines(Probe(out, "-select_streams v:0 -show_entries packet=duration"));
        const std::vector<std::string> expected = {"20", "20", "20", "20", "7", "20", "20", "20", "11"};
        EXPECT_EQ(durations, expected);
        const auto times = Lines(Probe(out, "-select_streams v:0 -show_entries packet=pts"));
        ASSERT_EQ(times.size(), 9u);
        EXPECT_EQ(times[5], "87");
        EXPECT_EQ(Probe(out, "-select_streams v:0 -show_entries stream=duration_ts"), "158");
    }
}

TEST(VideoEncoder, RefusesUnknownAndBadRequestsWithClearErrors) {
    VideoEncoder encoder;
    try {
        encoder.Open(Settings(FourCC("zzzz")), 96, 64);
        FAIL() << "unknown codec accepted";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kNoCodecErr);
        EXPECT_NE(e.Message().find("zzzz"), std::string::npos);
    }
    EXPECT_THROW(encoder.Open(Settings(FourCC("avc1")), 0, 64), LException);
    EXPECT_THROW(encoder.Open(Settings(FourCC("avc1")), 100000, 64), LException);
    VideoSettings withBadOption = Settings(FourCC("avc1"));
    withBadOption.options = {{"no-such-option", "1"}};
    try {
        encoder.Open(withBadOption, 96, 64);
        FAIL() << "bad option accepted";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kCodecErr);
        EXPECT_NE(e.Message().find("no-such-option=1"), std::string::npos);
    }
    EXPECT_FALSE(encoder.IsOpen());
    OffscreenWorld world(96, 64);
    std::vector<EncodedPacket> out;
    EXPECT_THROW(encoder.Encode(world, 0, 20, out), LException);
    encoder.Open(Settings(FourCC("avc1")), 96, 64);
    OffscreenWorld small(32, 32);
    EXPECT_THROW(encoder.Encode(small, 0, 20, out), LException);
}

TEST(VideoEncoder, EncoderOptionsReachTheEncoder) {
    VideoSettings s = Settings(FourCC("avc1"));
    s.options = {{"preset", "ultrafast"}, {"x264-params", "keyint=2"}};
    const fs::path out = testsupport::ScratchDir() / "opts.mov";
    const auto keys = encodetest::WriteVideoMovie(out, {Segment{s, std::vector<int64_t>(6, 20)}}, 96, 64);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), true), 3);
    EXPECT_EQ(encodetest::DecodeErrors(out), "");
}

TEST(VideoEncoder, ClosingWithFramesInFlightDoesNotHang) {
    // Some encoders (SVT-AV1) must be drained before they can be closed.
    for (OSType type : {FourCC("av01"), FourCC("avc1")}) {
        const VideoCodecInfo* info = VideoCodecTable::Find(type);
        if (!info->IsAvailable()) continue;
        {
            VideoEncoder unused;  // opened, never fed
            unused.Open(Settings(type), 96, 64);
        }
        VideoEncoder encoder;
        encoder.Open(Settings(type), 96, 64);
        OffscreenWorld world(96, 64);
        std::vector<EncodedPacket> out;
        for (int i = 0; i < 3; ++i) {
            encodetest::DrawFrame(world, i);
            encoder.Encode(world, i * 20, 20, out);
        }
    }
    SUCCEED();
}

TEST(StillImage, CompressesAndDecodesOnePicture) {
    OffscreenWorld picture(64, 48);
    encodetest::DrawFrame(picture, 0, 0);
    for (OSType type : {FourCC("jpeg"), FourCC("avc1"), FourCC("png "), FourCC("smc "), FourCC("raw "),
                        FourCC("mp4v")}) {
        SCOPED_TRACE(FourCCToString(type));
        CompressedImage image;
        ASSERT_TRUE(CompressImageOnce(picture, type, 0x300, image));
        EXPECT_EQ(image.codecType, type);
        EXPECT_FALSE(image.data.empty());
        OffscreenWorld back;
        ASSERT_TRUE(DecompressImage(image, back));
        ASSERT_EQ(back.Width(), 64);
        ASSERT_EQ(back.Height(), 48);
        // The square's red stays red through any of these codecs.
        const uint8_t* p = back.Row(8) + 8 * 3;
        EXPECT_GT(p[0], 160);
        EXPECT_LT(p[1], 110);
    }
    CompressedImage raw;
    ASSERT_TRUE(CompressPreviewImage(Handle(), picture, raw));
    EXPECT_EQ(raw.codecType, FourCC("raw "));
    EXPECT_EQ(raw.data.size(), 64u * 48u * 3u);
}

TEST(StillImage, BadInputGivesNoneRatherThanACrash) {
    OffscreenWorld empty;
    CompressedImage image;
    EXPECT_FALSE(CompressImageOnce(empty, FourCC("jpeg"), 0x200, image));
    OffscreenWorld picture(32, 32);
    EXPECT_FALSE(CompressImageOnce(picture, FourCC("zzzz"), 0x200, image));
    ASSERT_TRUE(CompressImageOnce(picture, FourCC("jpeg"), 0x200, image));
    image.data.resize(image.data.size() / 3);
    for (size_t i = 0; i < image.data.size(); i += 7) image.data[i] ^= 0x5A;
    OffscreenWorld back;
    DecompressImage(image, back);  // may or may not decode; must not crash
    CompressedImage none;
    EXPECT_FALSE(DecompressImage(none, back));
}

TEST(VideoEncoder, LosslessAndPaletteCodecsKeepThePicture) {
    const struct {
        const char* type;
        int tolerance;
    } cases[] = {{"raw ", 0}, {"png ", 0}, {"rle ", 0}, {"smc ", 26}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const OSType type = OSType(uint8_t(c.type[0])) << 24 | OSType(uint8_t(c.type[1])) << 16 |
                            OSType(uint8_t(c.type[2])) << 8 | uint8_t(c.type[3]);
        const fs::path out = testsupport::ScratchDir() / "pixels.mov";
        encodetest::WriteVideoMovie(out, {Frames(Settings(type), 2)}, 48, 32);
        const std::string decoded = testsupport::CaptureCommand(
            "ffmpeg -nostdin -v error -i " + testsupport::ShellQuote(out.string()) +
            " -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
        OffscreenWorld expected(48, 32);
        encodetest::DrawFrame(expected, 0);
        ASSERT_EQ(decoded.size(), 48u * 32u * 3u);
        int worst = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48 * 3; ++x)
                worst = std::max(worst, std::abs(int(uint8_t(decoded[size_t(y) * 48 * 3 + x])) - int(expected.Row(y)[x])));
        EXPECT_LE(worst, c.tolerance);
    }
}
