#include <gtest/gtest.h>

#include "platform/media/AtomContainer.h"
#include "platform/media/encode/EncoderOptions.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

namespace {
OSType CodeOf(const char* s) {
    return OSType(uint8_t(s[0])) << 24 | OSType(uint8_t(s[1])) << 16 | OSType(uint8_t(s[2])) << 8 | uint8_t(s[3]);
}
}  // namespace

TEST(EncoderOptions, ParsesNameValueLinesAndSkipsTheRest) {
    const auto options = ParseEncoderOptions("preset=slow\r\n\n# comment\nnoequals\n =x\n tune = film \nempty=\n");
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[0], (std::pair<std::string, std::string>{"preset", "slow"}));
    EXPECT_EQ(options[1], (std::pair<std::string, std::string>{"tune", "film"}));
    EXPECT_EQ(options[2], (std::pair<std::string, std::string>{"empty", ""}));
    EXPECT_EQ(FindEncoderOption(ParseEncoderOptions("a=1\na=2"), "a"), "2");
    EXPECT_EQ(ParseEncoderOptions(FormatEncoderOptions(options)), options);
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "k" + std::to_string(i) + "=v\n";
    EXPECT_EQ(ParseEncoderOptions(many).size(), 256u);
}

TEST(VideoSettings, MissingAtomsGiveTheDefaults) {
    for (const Handle& h : {Handle(), Handle(size_t(0)), AtomContainer().ToHandle()}) {
        const VideoSettings s = VideoSettings::FromHandle(h);
        EXPECT_EQ(s.codecType, FourCC("raw "));
        EXPECT_EQ(s.spatialQuality, 0x200);
        EXPECT_EQ(s.temporalQuality, 0x200);
        EXPECT_EQ(s.keyFrameRate, 0);
        EXPECT_EQ(s.frameRate, 0u);
        EXPECT_EQ(s.dataRate, 0u);
        EXPECT_FALSE(s.hasSpatial);
    }
}

TEST(VideoSettings, ReadsTheBigEndianLayoutAndRoundTrips) {
    AtomContainer c;
    QTAtomNode& video = c.InsertParent(FourCC("vide"), 1);
    const uint8_t sptl[] = {'a', 'v', 'c', '1', 0, 0, 0, 0, 0, 24, 0, 0, 0x03, 0x00};
    video.InsertChild(FourCC("sptl"), 1, sptl, sizeof sptl);
    const uint8_t tprl[] = {0, 0, 1, 0, 0, 0x19, 0, 0, 0, 0, 0, 48};
    video.InsertChild(FourCC("tprl"), 1, tprl, sizeof tprl);
    const uint8_t drat[] = {0, 1, 0x86, 0xA0};
    video.InsertChild(FourCC("drat"), 1, drat, sizeof drat);
    video.InsertChildText(FourCC("xopt"), 1, "preset=slow\n");
    const VideoSettings s = VideoSettings::FromHandle(c.ToHandle());
    EXPECT_EQ(s.codecType, FourCC("avc1"));
    EXPECT_EQ(s.depth, 24);
    EXPECT_EQ(s.spatialQuality, 0x300);
    EXPECT_EQ(s.temporalQuality, 0x100);
    EXPECT_EQ(s.frameRate, 25u << 16);
    EXPECT_EQ(s.keyFrameRate, 48);
    EXPECT_EQ(s.dataRate, 100000u);
    EXPECT_EQ(FindEncoderOption(s.options, "preset"), "slow");

    const VideoSettings back = VideoSettings::FromHandle(s.ToHandle());
    EXPECT_EQ(back.codecType, s.codecType);
    EXPECT_EQ(back.spatialQuality, s.spatialQuality);
    EXPECT_EQ(back.frameRate, s.frameRate);
    EXPECT_EQ(back.keyFrameRate, s.keyFrameRate);
    EXPECT_EQ(back.dataRate, s.dataRate);
    EXPECT_EQ(back.options, s.options);
    EXPECT_EQ(VideoSettings::FromHandle(MakeVideoSettings(FourCC("jpeg"), 0x100)).codecType, FourCC("jpeg"));
}

TEST(VideoSettings, ShortAtomsKeepDefaultsForWhatIsMissingAndGarbageIsRefused) {
    AtomContainer c;
    QTAtomNode& video = c.InsertParent(FourCC("vide"), 1);
    const uint8_t sptl[] = {'j', 'p', 'e', 'g', 0, 0};  // cut short after the codec type
    video.InsertChild(FourCC("sptl"), 1, sptl, sizeof sptl);
    video.InsertParent(FourCC("tprl"), 1);  // a parent where a leaf belongs
    const VideoSettings s = VideoSettings::FromHandle(c.ToHandle());
    EXPECT_EQ(s.codecType, FourCC("jpeg"));
    EXPECT_EQ(s.spatialQuality, 0x200);
    EXPECT_EQ(s.keyFrameRate, 0);

    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFF, 0xFF, 0xFF, 0xFF, 's', 'e', 'a', 'n'};
    EXPECT_THROW(VideoSettings::FromHandle(Handle(junk, sizeof junk)), LException);
    EXPECT_THROW(SoundSettings::FromHandle(Handle(junk, sizeof junk)), LException);
}

TEST(SoundSettings, ReadsTheSoundAtomsAndCodecLines) {
    const SoundSettings d = SoundSettings::FromHandle(Handle());
    EXPECT_EQ(d.compressionType, FourCC("NONE"));
    EXPECT_EQ(d.channels, 0);
    EXPECT_EQ(d.sampleRate, 0u);

    const Handle h = MakeSoundSettings(FourCC("aac "), 2, 16, 44100, {{"bitrate", "160000"}});
    const SoundSettings s = SoundSettings::FromHandle(h);
    EXPECT_EQ(s.compressionType, FourCC("aac "));
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.sampleSize, 16);
    EXPECT_EQ(s.SampleRateHz(), 44100);
    EXPECT_EQ(FindEncoderOption(s.options, "bitrate"), "160000");
    // 'CSTa' sits at the top level, beside 'soun'.
    const AtomContainer c = AtomContainer::Parse(h);
    ASSERT_NE(c.Find(FourCC("CSTa")), nullptr);
    EXPECT_EQ(c.Find(FourCC("CSTa"))->Text(), "bitrate=160000\n");
    ASSERT_NE(c.Find(FourCC("soun")), nullptr);
    EXPECT_EQ(c.Find(FourCC("soun"))->FindChild(FourCC("ssrt"))->U32(), 44100u << 16);
}

TEST(VideoCodecTable, QualityMapsThroughTheFixedPointsAndInterpolates) {
    const VideoCodecInfo& x264 = *VideoCodecTable::Find(FourCC("avc1"));
    EXPECT_DOUBLE_EQ(VideoCodecTable::MapQuality(x264, 0x200).value, 23);
    EXPECT_DOUBLE_EQ(VideoCodecTable::MapQuality(x264, 0x300).value, 18);
    EXPECT_DOUBLE_EQ(VideoCodecTable::MapQuality(x264, 0x3FF).value, 12);
    EXPECT_DOUBLE_EQ(VideoCodecTable::MapQuality(x264, 0x280).value, 20.5);
    EXPECT_TRUE(VideoCodecTable::MapQuality(x264, 0x400).lossless);
    EXPECT_TRUE(VideoCodecTable::MapQuality(x264, 0x7FFF).lossless);  // clamped
    EXPECT_EQ(VideoCodecTable::MapQuality(x264, -5).value, VideoCodecTable::MapQuality(x264, 0).value);
    EXPECT_EQ(VideoCodecTable::QualityText(x264, 0x200), "CRF 23");
    EXPECT_EQ(VideoCodecTable::QualityText(x264, 0x400), "lossless");

    // Every family: a higher quality never gives a worse figure (lower is better for all).
    for (const VideoCodecInfo& codec : VideoCodecTable::All()) {
        SCOPED_TRACE(codec.name);
        double last = 1e9;
        for (int q = 0; q <= 0x3FF; q += 0x20) {
            const QualityValue v = VideoCodecTable::MapQuality(codec, q);
            if (codec.scale == QualityScale::None) break;
            EXPECT_LE(v.value, last);
            last = v.value;
        }
    }
    const VideoCodecInfo& av1 = *VideoCodecTable::Find(FourCC("av01"));
    EXPECT_FALSE(VideoCodecTable::MapQuality(av1, 0x400).lossless);  // SVT-AV1 has no lossless mode
    EXPECT_EQ(VideoCodecTable::QualityText(*VideoCodecTable::Find(FourCC("rle ")), 0x100), "lossless");
    EXPECT_EQ(VideoCodecTable::QualityText(*VideoCodecTable::Find(FourCC("cvid")), 0x100), "fixed quality");
}

TEST(CodecTables, CoverEveryTypeWithItsEncoder) {
    const std::pair<const char*, const char*> video[] = {
        {"raw ", "rawvideo"}, {"jpeg", "mjpeg"}, {"mjpa", "mjpeg"}, {"png ", "png"}, {"rle ", "qtrle"},
        {"rpza", "rpza"}, {"smc ", "smc"}, {"cvid", "cinepak"}, {"SVQ1", "svq1"}, {"mp4v", "mpeg4"},
        {"avc1", "libx264"}, {"hvc1", "libx265"}, {"vp09", "libvpx-vp9"}, {"av01", "libsvtav1"},
        {"apcn", "prores_ks"}, {"apch", "prores_ks"}, {"apcs", "prores_ks"}, {"apco", "prores_ks"},
        {"ap4h", "prores_ks"}};
    for (auto [type, encoder] : video) {
        const VideoCodecInfo* info = VideoCodecTable::Find(CodeOf(type));
        ASSERT_NE(info, nullptr) << type;
        EXPECT_STREQ(info->encoder, encoder);
    }
    EXPECT_EQ(VideoCodecTable::All().size(), std::size(video));
    EXPECT_EQ(VideoCodecTable::NameOf(FourCC("avc1")), "H.264");
    EXPECT_EQ(VideoCodecTable::NameOf(FourCC("zzzz")), "zzzz");

    const std::pair<const char*, const char*> sound[] = {
        {"NONE", "pcm_s16be"}, {"twos", "pcm_s16be"}, {"sowt", "pcm_s16le"}, {"in24", "pcm_s24be"},
        {"fl32", "pcm_f32be"}, {"ulaw", "pcm_mulaw"}, {"alaw", "pcm_alaw"}, {"ima4", "adpcm_ima_qt"},
        {"aac ", "aac"}, {"alac", "alac"}, {"Opus", "libopus"}, {".mp3", "libmp3lame"}};
    for (auto [type, encoder] : sound) {
        const SoundTypeInfo* info = SoundTypeTable::Find(CodeOf(type));
        ASSERT_NE(info, nullptr) << type;
        EXPECT_STREQ(info->encoder, encoder);
    }
    const SoundTypeInfo& opus = *SoundTypeTable::Find(FourCC("Opus"));
    EXPECT_EQ(opus.NearestRate(44100), 48000);
    EXPECT_TRUE(opus.AcceptsRate(24000));
    EXPECT_FALSE(opus.AcceptsRate(44100));
}

TEST(OutputCodecCheck, MixedSegmentCodecsAreRefusedNamingBoth) {
    std::string message;
    EXPECT_TRUE(CheckSegmentCodecs({}, message));
    EXPECT_TRUE(CheckSegmentCodecs({MakeVideoSettings(FourCC("avc1"), 0x100), MakeVideoSettings(FourCC("avc1"))},
                                   message));
    EXPECT_FALSE(CheckSegmentCodecs({MakeVideoSettings(FourCC("avc1")), MakeVideoSettings(FourCC("avc1")),
                                     MakeVideoSettings(FourCC("mjpa"))},
                                    message));
    EXPECT_NE(message.find("H.264"), std::string::npos) << message;
    EXPECT_NE(message.find("Motion JPEG A"), std::string::npos) << message;
    // A segment without codec settings counts as None.
    EXPECT_FALSE(CheckSegmentCodecs({MakeVideoSettings(FourCC("jpeg")), Handle()}, message));
    EXPECT_NE(message.find("None"), std::string::npos) << message;
}

TEST(OutputCodecCheck, ContainersAcceptOnlyWhatTheyCanHold) {
    std::string message;
    EXPECT_TRUE(CheckContainerAcceptsVideo(FourCC("avc1"), true, message));
    EXPECT_TRUE(CheckContainerAcceptsVideo(FourCC("rle "), false, message));
    EXPECT_FALSE(CheckContainerAcceptsVideo(FourCC("rle "), true, message));
    EXPECT_NE(message.find("Animation"), std::string::npos);
    EXPECT_FALSE(CheckContainerAcceptsVideo(FourCC("vp09"), false, message));
    EXPECT_NE(message.find(".mp4"), std::string::npos);
    EXPECT_FALSE(CheckContainerAcceptsSound(FourCC("Opus"), false, message));
    EXPECT_TRUE(CheckContainerAcceptsSound(FourCC("Opus"), true, message));
    EXPECT_FALSE(CheckContainerAcceptsSound(FourCC("twos"), true, message));
    EXPECT_FALSE(CheckContainerAcceptsSound(FourCC("what"), false, message));
}
