#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numeric>

#include "EncodeTestSupport.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/source/SoundPacketReader.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::Probe;

namespace {

// Interleaved float sine, a different pitch per channel.
std::vector<float> Sine(int rate, int channels, int frames, int64_t offset = 0) {
    std::vector<float> s(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[size_t(i) * channels + c] = 0.5f * float(std::sin(2 * M_PI * (440.0 + 110 * c) * double(i + offset) / rate));
    return s;
}

// Converts `seconds` of sound in uneven blocks and writes it as the only track.
int64_t WriteSoundMovie(const fs::path& out, const SoundSettings& settings, int inRate, int inChannels,
                        double seconds) {
    SoundEncoder encoder;
    encoder.Open(settings, PcmFormat{inRate, inChannels, PcmSampleType::Float, false});
    MovieWriter writer;
    writer.Create(out.string(), MovieWriter::IsMp4Path(out.string()));
    writer.AddSoundTrack(encoder);
    const int total = int(seconds * inRate);
    std::vector<EncodedPacket> packets;
    int64_t reported = 0;
    int64_t written = 0;
    int done = 0;
    for (int block = 0; done < total; ++block) {
        const int n = std::min(total - done, block % 2 ? inRate : inRate / 3 + 7);
        const auto samples = Sine(inRate, inChannels, n, done);
        reported += encoder.Convert(samples.data(), n, packets);
        done += n;
    }
    reported += encoder.Finish(packets);
    for (const auto& p : packets) {
        written += int64_t(p.data.size());
        writer.WriteSoundPacket(p);
    }
    writer.Finish();
    EXPECT_EQ(reported, written);
    return written;
}

}  // namespace

TEST(SoundEncoder, EverySoundTypeConvertsAtTheAskedRateAndChannels) {
    const fs::path dir = testsupport::ScratchDir();
    struct Case {
        const char* type;
        const char* codec;
        int rate;
        int channels;
    };
    const Case cases[] = {
        {"NONE", "pcm_s16be", 22050, 1}, {"twos", "pcm_s16be", 48000, 2}, {"sowt", "pcm_s16le", 32000, 2},
        {"in24", "pcm_s24be", 44100, 1}, {"fl32", "pcm_f32be", 48000, 2}, {"ulaw", "pcm_mulaw", 8000, 1},
        {"alaw", "pcm_alaw", 16000, 2},  {"ima4", "adpcm_ima_qt", 22050, 2}, {"aac ", "aac", 48000, 2},
        {"alac", "alac", 44100, 2},      {"Opus", "opus", 48000, 1},      {".mp3", "mp3", 32000, 2},
    };
    for (const Case& c : cases) {
        const OSType type = OSType(uint8_t(c.type[0])) << 24 | OSType(uint8_t(c.type[1])) << 16 |
                            OSType(uint8_t(c.type[2])) << 8 | uint8_t(c.type[3]);
        SCOPED_TRACE(c.type);
        if (!SoundTypeTable::Find(type)->IsAvailable()) continue;
        SoundSettings settings;
        settings.compressionType = type;
        settings.channels = int16_t(c.channels);
        settings.sampleRate = uint32_t(c.rate) << 16;
        const fs::path out = dir / (std::string("s") + std::to_string(&c - cases) +
                                    (SoundTypeTable::Find(type)->movAllowed ? ".mov" : ".mp4"));
        WriteSoundMovie(out, settings, 44100, 2, 1.5);
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=codec_name"), c.codec);
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=sample_rate"), std::to_string(c.rate));
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=channels"), std::to_string(c.channels));
        const double duration = std::stod(Probe(out, "-select_streams a:0 -show_entries stream=duration"));
        EXPECT_NEAR(duration, 1.5, 0.05);
        EXPECT_EQ(encodetest::DecodeErrors(out), "");
    }
}

TEST(SoundEncoder, ZeroSettingsKeepTheSourceFormatAndBitrateIsHonoured) {
    SoundEncoder encoder;
    encoder.Open(SoundSettings{}, PcmFormat{32000, 1, PcmSampleType::Float, false});
    EXPECT_EQ(encoder.OutputSampleRate(), 32000);
    EXPECT_EQ(encoder.OutputChannels(), 1);
    EXPECT_EQ(encoder.CompressionType(), FourCC("NONE"));

    const fs::path dir = testsupport::ScratchDir();
    int64_t sizes[2] = {};
    int i = 0;
    for (const char* bitrate : {"64000", "192000"}) {
        SoundSettings s;
        s.compressionType = FourCC("aac ");
        s.options = {{"bitrate", bitrate}};
        sizes[i++] = WriteSoundMovie(dir / (std::string(bitrate) + ".mov"), s, 48000, 2, 2.0);
    }
    EXPECT_NEAR(double(sizes[0]), 64000 / 8 * 2.0, 64000 / 8 * 2.0 * 0.3);
    EXPECT_GT(sizes[1], sizes[0] * 2);
}

TEST(SoundEncoder, PlanarSixteenBitInputConverts) {
    SoundSettings s;
    s.compressionType = FourCC("sowt");
    SoundEncoder encoder;
    encoder.Open(s, PcmFormat{8000, 2, PcmSampleType::S16, true});
    std::vector<int16_t> left(800, 1000), right(800, -1000);
    const uint8_t* planes[2] = {reinterpret_cast<const uint8_t*>(left.data()),
                                reinterpret_cast<const uint8_t*>(right.data())};
    std::vector<EncodedPacket> packets;
    int64_t bytes = encoder.Convert(planes, 800, packets);
    bytes += encoder.Finish(packets);
    EXPECT_EQ(bytes, 800 * 2 * 2);
    ASSERT_FALSE(packets.empty());
    // Interleaved little-endian: left then right.
    EXPECT_EQ(int16_t(packets[0].data[0] | packets[0].data[1] << 8), 1000);
    EXPECT_EQ(int16_t(packets[0].data[2] | packets[0].data[3] << 8), -1000);
    int64_t samples = 0;
    for (const auto& p : packets) samples += p.duration;
    EXPECT_EQ(samples, 800);
}

TEST(SoundEncoder, BadRequestsAreRefusedClearly) {
    SoundEncoder encoder;
    SoundSettings s;
    s.compressionType = FourCC("what");
    try {
        encoder.Open(s, PcmFormat{44100, 2});
        FAIL();
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kNoSoundExporterErr);
    }
    s.compressionType = FourCC("aac ");
    EXPECT_THROW(encoder.Open(s, PcmFormat{0, 2}), LException);
    EXPECT_THROW(encoder.Open(s, PcmFormat{44100, 0}), LException);
    EXPECT_THROW(encoder.Open(s, PcmFormat{44100, 1000}), LException);
    std::vector<EncodedPacket> packets;
    const float one = 0;
    EXPECT_THROW(encoder.Convert(&one, 1, packets), LException);
    encoder.Open(s, PcmFormat{44100, 2, PcmSampleType::S16, false});
    EXPECT_THROW(encoder.Convert(&one, 1, packets), LException);  // opened for 16-bit samples
    EXPECT_THROW(encoder.Convert(static_cast<const uint8_t* const*>(nullptr), 5, packets), LException);
}

TEST(SoundEncoder, EncoderOptionsAreCheckedByTheEncoder) {
    SoundEncoder encoder;
    SoundSettings s;
    s.compressionType = FourCC("aac ");
    // A private option of the encoder, not of the generic context.
    s.options = {{"aac_coder", "fast"}};
    encoder.Open(s, PcmFormat{44100, 2});
    EXPECT_TRUE(encoder.IsOpen());

    for (const auto& option : {std::pair<std::string, std::string>{"no-such-option", "1"}, {"aac_coder", "nonsense"}}) {
        SCOPED_TRACE(option.first + "=" + option.second);
        s.options = {option};
        try {
            encoder.Open(s, PcmFormat{44100, 2});
            FAIL() << "option accepted";
        } catch (const LException& e) {
            EXPECT_EQ(e.Code(), kCodecErr);
            EXPECT_NE(e.Message().find("AAC"), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(option.first + "=" + option.second), std::string::npos) << e.Message();
        }
        EXPECT_FALSE(encoder.IsOpen());
    }
}
