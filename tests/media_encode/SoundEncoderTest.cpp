// Sound encoders: every sound type at the asked rate and channels, the
// source format kept when nothing is asked, bit rates honoured, and bad
// requests or options refused by name.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

// Interleaved float sine, a different pitch per channel.
std::vector<float> Sine(int rate, int channels, int frames, int64_t offset = 0) {
    std::vector<float> s(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[size_t(i) * channels + c] = 0.5f * float(std::sin(2 * M_PI * (440.0 + 110 * c) * double(i + offset) / rate));
    return s;
}

// Converts `seconds` of stereo 44.1 kHz sound in uneven blocks and writes
// it as the only track; returns the bytes written.
int64_t WriteSoundMovie(const fs::path& out, const SoundSettings& settings, double seconds, int inRate = 44100) {
    SoundEncoder encoder;
    encoder.Open(settings, PcmFormat{inRate, 2, PcmSampleType::Float, false});
    MovieWriter writer;
    writer.Create(out.string(), MovieWriter::IsMp4Path(out.string()));
    writer.AddSoundTrack(encoder);
    const int total = int(seconds * inRate);
    std::vector<EncodedPacket> packets;
    int64_t reported = 0, written = 0;
    for (int block = 0, done = 0; done < total; ++block) {
        const int n = std::min(total - done, block % 2 ? inRate : inRate / 3 + 7);
        reported += encoder.Convert(Sine(inRate, 2, n, done).data(), n, packets);
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

SoundSettings Settings(OSType type, EncoderOptions options = {}) {
    SoundSettings s;
    s.compressionType = type;
    s.options = std::move(options);
    return s;
}

TEST(SoundEncoder, EverySoundTypeConvertsAtTheAskedRateAndChannels) {
    const std::tuple<OSType, const char*, int, int> cases[] = {
        {FourCC("NONE"), "pcm_s16be", 22050, 1}, {FourCC("twos"), "pcm_s16be", 48000, 2},
        {FourCC("sowt"), "pcm_s16le", 32000, 2}, {FourCC("in24"), "pcm_s24be", 44100, 1},
        {FourCC("fl32"), "pcm_f32be", 48000, 2}, {FourCC("ulaw"), "pcm_mulaw", 8000, 1},
        {FourCC("alaw"), "pcm_alaw", 16000, 2},  {FourCC("ima4"), "adpcm_ima_qt", 22050, 2},
        {FourCC("aac "), "aac", 48000, 2},       {FourCC("alac"), "alac", 44100, 2},
        {FourCC("Opus"), "opus", 48000, 1},      {FourCC(".mp3"), "mp3", 32000, 2},
    };
    for (const auto& [type, codec, rate, channels] : cases) {
        SCOPED_TRACE(FourCCToString(type));
        if (!SoundTypeTable::Find(type)->IsAvailable()) continue;
        SoundSettings settings = Settings(type);
        settings.channels = int16_t(channels);
        settings.sampleRate = uint32_t(rate) << 16;
        const fs::path out = ScratchDir() / (SoundTypeTable::Find(type)->movAllowed ? "s.mov" : "s.mp4");
        WriteSoundMovie(out, settings, 1.5);
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=codec_name,sample_rate,channels"),
                  std::string(codec) + "\n" + std::to_string(rate) + "\n" + std::to_string(channels));
        EXPECT_NEAR(DurationSeconds(out, "a:0"), 1.5, 0.05);
        EXPECT_EQ(DecodeErrors(out), "");
    }
}

TEST(SoundEncoder, ZeroSettingsKeepTheSourceFormatAndBitrateIsHonoured) {
    SoundEncoder encoder;
    encoder.Open(SoundSettings{}, PcmFormat{32000, 1, PcmSampleType::Float, false});
    EXPECT_EQ(std::pair(encoder.OutputSampleRate(), encoder.OutputChannels()), std::pair(32000, 1));
    EXPECT_EQ(encoder.CompressionType(), FourCC("NONE"));
    const int64_t low = WriteSoundMovie(ScratchDir() / "64k.mov", Settings(FourCC("aac "), {{"bitrate", "64000"}}), 2, 48000);
    const int64_t high = WriteSoundMovie(ScratchDir() / "192k.mov", Settings(FourCC("aac "), {{"bitrate", "192000"}}), 2, 48000);
    EXPECT_NEAR(double(low), 64000 / 8 * 2.0, 64000 / 8 * 2.0 * 0.3);
    EXPECT_GT(high, low * 2);
}

TEST(SoundEncoder, BadRequestsAndOptionsAreRefusedClearly) {
    SoundEncoder encoder;
    EXPECT_EQ(ErrorCode([&] { encoder.Open(Settings(FourCC("what")), PcmFormat{44100, 2}); }, false),
              kNoSoundExporterErr);
    for (PcmFormat bad : {PcmFormat{0, 2}, PcmFormat{44100, 0}, PcmFormat{44100, 1000}})
        EXPECT_THROW(encoder.Open(Settings(FourCC("aac ")), bad), LException);

    // A private option of the encoder, not of the generic context, is taken.
    encoder.Open(Settings(FourCC("aac "), {{"aac_coder", "fast"}}), PcmFormat{44100, 2});
    EXPECT_TRUE(encoder.IsOpen());
    for (const auto& option : EncoderOptions{{"no-such-option", "1"}, {"aac_coder", "nonsense"}}) {
        const auto [code, message] =
            Thrown([&] { encoder.Open(Settings(FourCC("aac "), {option}), PcmFormat{44100, 2}); });
        EXPECT_EQ(code, kCodecErr) << option.first;
        EXPECT_NE(message.find("AAC"), std::string::npos) << message;
        EXPECT_NE(message.find(option.first + "=" + option.second), std::string::npos) << message;
        EXPECT_FALSE(encoder.IsOpen());
    }
}

}  // namespace
