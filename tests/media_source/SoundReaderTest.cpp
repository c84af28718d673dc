// Reading sound: decoded blocks that join without gaps and match ffmpeg's
// decode.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/source/SoundReader.h"
#include "support/SourceMovies.h"
#include "support/TestSupport.h"

using namespace fixtures;
using namespace testsupport;

namespace {

// Largest difference between a read and the same stretch of ffmpeg's decode.
float Deviation(const DecodedSound& sound, const std::vector<float>& reference) {
    float worst = 0;
    for (int64_t i = 0; i < sound.frames * sound.channels; ++i) {
        const size_t at = size_t(sound.firstSample * sound.channels + i);
        worst = std::max(worst, std::fabs(sound.samples[size_t(i)] - (at < reference.size() ? reference[at] : 0.0f)));
    }
    return worst;
}

TEST(SoundReader, OneSecondBlocksAreContiguousExactAndNeedNoSeek) {
    for (const auto& file : {SoundOnlyPcm(), SoundOnlyAac(), MovieWithSound()}) {
        auto reader = SoundReader::Open(file.string());
        const std::vector<float> reference = ReferenceSound(file);
        const int rate = reader->SampleRate(), channels = reader->Channels();
        const int64_t total = int64_t(reference.size()) / channels;
        // Blocks in a 600 scale, ending 1/600 s before each boundary like
        // the compression job's chunks, then the missing 1/600 s.
        DecodedSound sound;
        int64_t expectedNext = 0;
        bool ended = false;
        auto position = [&](int64_t t) { return (2 * t * rate + 600) / 1200; };  // rounded
        for (int64_t start = 0; start < 4 * 600 && !ended; start += 600)
            for (auto [from, to] : {std::pair<int64_t, int64_t>{start, start + 599}, {start + 599, start + 600}}) {
                ASSERT_EQ(reader->Read(from, to, 600, sound), noErr);
                EXPECT_EQ(sound.firstSample, expectedNext) << file;
                const int64_t wanted = position(to) - position(from);
                EXPECT_EQ(sound.frames, std::min(wanted, std::max<int64_t>(0, total - sound.firstSample))) << file;
                EXPECT_EQ(int64_t(sound.samples.size()), sound.frames * channels);
                EXPECT_LT(Deviation(sound, reference), 1e-6f) << file << " at " << from;
                expectedNext = sound.firstSample + sound.frames;
                if ((ended = sound.frames < wanted)) break;
            }
        EXPECT_EQ(expectedNext, total) << file;
        EXPECT_EQ(reader->SeekCount(), 0) << file;
    }
    auto pcm = SoundReader::Open(SoundOnlyPcm().string());
    EXPECT_EQ(std::pair(pcm->SampleRate(), pcm->Channels()), std::pair(48000, 2));
    EXPECT_EQ(pcm->ChannelMask(), 3u);  // front left | front right
    EXPECT_EQ(pcm->CodecName(), "pcm_s16le");
}

TEST(SoundReader, SampleCountsFollowTheRequestedScaleAndStopAtTheEnd) {
    auto reader = SoundReader::Open(SoundOnlyPcm().string());  // 2.5 s at 48 kHz
    DecodedSound sound;
    // From, to, scale: first sample and count (1/3 s in a scale of 3 is
    // exactly 16000 samples; 44100ths map onto rounded positions).
    const int64_t reads[][5] = {{0, 1, 3, 0, 16000},           {44100, 44541, 44100, 48000, 480},
                                {10, 10, 600, 800, 0},         {1200, 2400, 600, 96000, 24000},
                                {2400, 3000, 600, 120000, 0}};
    for (const auto& [from, to, scale, first, frames] : reads) {
        ASSERT_EQ(reader->Read(from, to, int32_t(scale), sound), noErr) << from;
        EXPECT_EQ(sound.frames, frames) << from;
        if (frames) {
            EXPECT_EQ(sound.firstSample, first) << from;
        }
    }
}

TEST(SoundReader, GoingBackOrJumpingAheadSeeksAndStaysExact) {
    for (const auto& file : {SoundOnlyPcm(), SoundOnlyAac()}) {
        auto reader = SoundReader::Open(file.string());
        const std::vector<float> reference = ReferenceSound(file);
        DecodedSound sound;
        // From, to (600ths), seeks so far: a jump within reach of decoding
        // forward, back to 0.5 s, then on without a seek.
        for (auto [from, to, seeks] : {std::tuple{1200, 1500, 0}, {300, 600, 1}, {600, 900, 1}}) {
            ASSERT_EQ(reader->Read(from, to, 600, sound), noErr);
            EXPECT_EQ(reader->SeekCount(), seeks) << file;
            EXPECT_EQ(sound.firstSample, from * int64_t(reader->SampleRate()) / 600);
            EXPECT_LT(Deviation(sound, reference), 1e-4f) << file;  // AAC restarts within -80 dB
        }
    }
}

}  // namespace
