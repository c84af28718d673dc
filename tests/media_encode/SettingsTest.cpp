// Codec settings as stored in atom containers, encoder option lines, the
// codec tables' quality scales, and the checks made before writing (which
// codecs a container holds, and which destinations are MP4).
#include <gtest/gtest.h>

#include "platform/media/AtomContainer.h"
#include "platform/media/encode/EncoderOptions.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

namespace {

using Options = EncoderOptions;

TEST(EncoderOptions, ParsesNameValueLinesAndSkipsTheRest) {
    const auto options = ParseEncoderOptions("preset=slow\r\n\n# comment\nnoequals\n =x\n tune = film \nempty=\n");
    EXPECT_EQ(options, (Options{{"preset", "slow"}, {"tune", "film"}, {"empty", ""}}));
    EXPECT_EQ(FindEncoderOption(ParseEncoderOptions("a=1\na=2"), "a"), "2");
    EXPECT_EQ(ParseEncoderOptions(FormatEncoderOptions(options)), options);
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "k" + std::to_string(i) + "=v\n";
    EXPECT_EQ(ParseEncoderOptions(many).size(), 256u);
}

TEST(VideoSettings, ReadsTheBigEndianLayoutRoundTripsAndDefaultsWhatIsMissing) {
    for (const Handle& h : {Handle(), Handle(size_t(0)), AtomContainer().ToHandle()}) {
        const VideoSettings s = VideoSettings::FromHandle(h);
        EXPECT_EQ(s.codecType, FourCC("raw "));
        EXPECT_EQ(s.spatialQuality + s.temporalQuality, 0x400);
        EXPECT_EQ(s.keyFrameRate + s.frameRate + s.dataRate, 0u);
        EXPECT_FALSE(s.hasSpatial);
    }
    AtomContainer c;
    QTAtomNode& video = c.InsertParent(FourCC("vide"), 1);
    const uint8_t sptl[] = {'a', 'v', 'c', '1', 0, 0, 0, 0, 0, 24, 0, 0, 0x03, 0x00};
    const uint8_t tprl[] = {0, 0, 1, 0, 0, 0x19, 0, 0, 0, 0, 0, 48};
    const uint8_t drat[] = {0, 1, 0x86, 0xA0};
    video.InsertChild(FourCC("sptl"), 1, sptl, sizeof sptl);
    video.InsertChild(FourCC("tprl"), 1, tprl, sizeof tprl);
    video.InsertChild(FourCC("drat"), 1, drat, sizeof drat);
    video.InsertChildText(FourCC("xopt"), 1, "preset=slow\n");
    const VideoSettings s = VideoSettings::FromHandle(c.ToHandle());
    for (const VideoSettings& v : {s, VideoSettings::FromHandle(s.ToHandle())}) {
        EXPECT_EQ(v.codecType, FourCC("avc1"));
        EXPECT_EQ(v.depth, 24);
        EXPECT_EQ(v.spatialQuality, 0x300);
        EXPECT_EQ(v.temporalQuality, 0x100);
        EXPECT_EQ(v.frameRate, 25u << 16);
        EXPECT_EQ(v.keyFrameRate, 48);
        EXPECT_EQ(v.dataRate, 100000u);
        EXPECT_EQ(v.options, (Options{{"preset", "slow"}}));
    }
    // Atoms cut short keep the defaults for what is missing.
    AtomContainer shortAtoms;
    QTAtomNode& cut = shortAtoms.InsertParent(FourCC("vide"), 1);
    const uint8_t jpeg[] = {'j', 'p', 'e', 'g', 0, 0};
    cut.InsertChild(FourCC("sptl"), 1, jpeg, sizeof jpeg);
    cut.InsertParent(FourCC("tprl"), 1);  // a parent where a leaf belongs
    const VideoSettings partial = VideoSettings::FromHandle(shortAtoms.ToHandle());
    EXPECT_EQ(partial.codecType, FourCC("jpeg"));
    EXPECT_EQ(partial.spatialQuality, 0x200);
    EXPECT_EQ(partial.keyFrameRate, 0);
    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0xFF, 0xFF, 0xFF, 0xFF, 's', 'e', 'a', 'n'};
    EXPECT_THROW(VideoSettings::FromHandle(Handle(junk, sizeof junk)), LException);
    EXPECT_THROW(SoundSettings::FromHandle(Handle(junk, sizeof junk)), LException);
}

TEST(SoundSettings, ReadsTheSoundAtomsAndCodecLines) {
    const SoundSettings d = SoundSettings::FromHandle(Handle());
    EXPECT_EQ(d.compressionType, FourCC("NONE"));
    EXPECT_EQ(d.channels + d.sampleRate, 0u);
    const Handle h = MakeSoundSettings(FourCC("aac "), 2, 16, 44100, {{"bitrate", "160000"}});
    const SoundSettings s = SoundSettings::FromHandle(h);
    EXPECT_EQ(s.compressionType, FourCC("aac "));
    EXPECT_EQ(std::pair(int(s.channels), int(s.sampleSize)), std::pair(2, 16));
    EXPECT_EQ(s.SampleRateHz(), 44100);
    EXPECT_EQ(FindEncoderOption(s.options, "bitrate"), "160000");
    // 'CSTa' sits at the top level, beside 'soun'.
    const AtomContainer c = AtomContainer::Parse(h);
    ASSERT_NE(c.Find(FourCC("CSTa")), nullptr);
    EXPECT_EQ(c.Find(FourCC("CSTa"))->Text(), "bitrate=160000\n");
    EXPECT_EQ(c.Find(FourCC("soun"))->FindChild(FourCC("ssrt"))->U32(), 44100u << 16);
}

TEST(CodecTables, QualityScalesAndRates) {
    const VideoCodecInfo& x264 = *VideoCodecTable::Find(FourCC("avc1"));
    for (auto [quality, crf] : {std::pair{0x200, 23.0}, {0x300, 18.0}, {0x3FF, 12.0}, {0x280, 20.5}})
        EXPECT_DOUBLE_EQ(VideoCodecTable::MapQuality(x264, quality).value, crf);
    EXPECT_TRUE(VideoCodecTable::MapQuality(x264, 0x400).lossless);
    EXPECT_TRUE(VideoCodecTable::MapQuality(x264, 0x7FFF).lossless);  // clamped
    EXPECT_EQ(VideoCodecTable::MapQuality(x264, -5).value, VideoCodecTable::MapQuality(x264, 0).value);
    EXPECT_EQ(VideoCodecTable::QualityText(x264, 0x400), "lossless");
    // Every family: a higher quality never gives a worse figure (lower is better for all).
    for (const VideoCodecInfo& codec : VideoCodecTable::All()) {
        if (codec.scale == QualityScale::None) continue;
        double last = 1e9;
        for (int q = 0; q <= 0x3FF; q += 0x20) {
            EXPECT_LE(VideoCodecTable::MapQuality(codec, q).value, last) << codec.name << " " << q;
            last = VideoCodecTable::MapQuality(codec, q).value;
        }
    }
    EXPECT_FALSE(VideoCodecTable::MapQuality(*VideoCodecTable::Find(FourCC("av01")), 0x400).lossless);
    EXPECT_EQ(VideoCodecTable::QualityText(*VideoCodecTable::Find(FourCC("rle ")), 0x100), "lossless");
    EXPECT_EQ(VideoCodecTable::QualityText(*VideoCodecTable::Find(FourCC("cvid")), 0x100), "fixed quality");
    const SoundTypeInfo& opus = *SoundTypeTable::Find(FourCC("Opus"));
    EXPECT_EQ(opus.NearestRate(44100), 48000);
    EXPECT_TRUE(opus.AcceptsRate(24000));
    EXPECT_FALSE(opus.AcceptsRate(44100));
}

TEST(OutputCodecCheck, MixedSegmentsAndWhatAContainerCannotHoldAreRefusedByName) {
    std::string message;
    EXPECT_TRUE(CheckSegmentCodecs({}, message));
    EXPECT_TRUE(CheckSegmentCodecs({MakeVideoSettings(FourCC("avc1"), 0x100), MakeVideoSettings(FourCC("avc1"))},
                                   message));
    EXPECT_FALSE(CheckSegmentCodecs(
        {MakeVideoSettings(FourCC("avc1")), MakeVideoSettings(FourCC("avc1")), MakeVideoSettings(FourCC("mjpa"))},
        message));
    EXPECT_NE(message.find("H.264"), std::string::npos) << message;
    EXPECT_NE(message.find("Motion JPEG A"), std::string::npos) << message;
    // A segment without codec settings counts as None.
    EXPECT_FALSE(CheckSegmentCodecs({MakeVideoSettings(FourCC("jpeg")), Handle()}, message));
    EXPECT_NE(message.find("None"), std::string::npos) << message;

    // Type, into mp4, accepted, a word of the refusal.
    const std::tuple<OSType, bool, bool, const char*> video[] = {{FourCC("avc1"), true, true, ""},
                                                                 {FourCC("rle "), false, true, ""},
                                                                 {FourCC("rle "), true, false, "Animation"},
                                                                 {FourCC("vp09"), false, false, ".mp4"}};
    for (const auto& [type, mp4, accepted, word] : video) {
        EXPECT_EQ(CheckContainerAcceptsVideo(type, mp4, message), accepted) << FourCCToString(type);
        EXPECT_NE(message.find(accepted ? "" : word), std::string::npos) << message;
    }
    const std::tuple<OSType, bool, bool> sound[] = {{FourCC("Opus"), false, false}, {FourCC("Opus"), true, true},
                                                    {FourCC("twos"), true, false}, {FourCC("what"), false, false}};
    for (const auto& [type, mp4, accepted] : sound)
        EXPECT_EQ(CheckContainerAcceptsSound(type, mp4, message), accepted) << FourCCToString(type);
    for (auto [path, mp4] : {std::pair{"/a/b.mp4", true}, {"/a/B.MP4", true}, {"/a/b.mov", false}, {"/a/mp4", false}})
        EXPECT_EQ(MovieWriter::IsMp4Path(path), mp4) << path;
}

}  // namespace
