#include <gtest/gtest.h>

#include <cmath>

#include "SourceFixtures.h"
#include "platform/media/source/SoundReader.h"
#include "platform/media/source/SourceErrors.h"

using namespace fixtures;

namespace {

// Largest difference between a read and the same stretch of ffmpeg's decode.
float Deviation(const DecodedSound& sound, const std::vector<float>& reference) {
    float worst = 0;
    for (int64_t i = 0; i < sound.frames * sound.channels; ++i) {
        size_t at = size_t(sound.firstSample * sound.channels + i);
        float expected = at < reference.size() ? reference[at] : 0.0f;
        worst = std::max(worst, std::fabs(sound.samples[size_t(i)] - expected));
    }
    return worst;
}

TEST(SoundReaderTest, DescribesTheTrack) {
    auto reader = SoundReader::Open(SoundOnlyPcm().string());
    EXPECT_EQ(reader->SampleRate(), 48000);
    EXPECT_EQ(reader->Channels(), 2);
    EXPECT_EQ(reader->ChannelMask(), 3u);  // front left | front right
    EXPECT_EQ(reader->CodecName(), "pcm_s16le");
}

TEST(SoundReaderTest, OneSecondBlocksAreContiguousExactAndNeedNoSeek) {
    for (const auto& file : {SoundOnlyPcm(), SoundOnlyAac(), MovieWithSound()}) {
        auto reader = SoundReader::Open(file.string());
        std::vector<float> reference = ReferenceSound(file);
        const int rate = reader->SampleRate(), channels = reader->Channels();
        const int64_t total = int64_t(reference.size()) / channels;
        // Blocks in a 600 scale, ending 1/600 s before each boundary like
        // the compression job's chunks, then the missing 1/600 s.
        DecodedSound sound;
        int64_t expectedNext = 0;
        bool ended = false;
        auto position = [&](int64_t t) { return (2 * t * rate + 600) / 1200; };  // rounded
        for (int64_t start = 0; start < 4 * 600 && !ended; start += 600) {
            for (auto [from, to] : {std::pair<int64_t, int64_t>{start, start + 599}, {start + 599, start + 600}}) {
                ASSERT_EQ(reader->Read(from, to, 600, sound), noErr);
                EXPECT_EQ(sound.firstSample, expectedNext) << file;
                int64_t wanted = position(to) - position(from);
                EXPECT_EQ(sound.frames, std::min(wanted, std::max<int64_t>(0, total - sound.firstSample))) << file;
                EXPECT_EQ(int64_t(sound.samples.size()), sound.frames * channels);
                EXPECT_LT(Deviation(sound, reference), 1e-6f) << file << " at " << from;
                expectedNext = sound.firstSample + sound.frames;
                ended = sound.frames < wanted;
                if (ended) break;
            }
        }
        EXPECT_EQ(expectedNext, total) << file;
        EXPECT_EQ(reader->SeekCount(), 0) << file;
    }
}

TEST(SoundReaderTest, SampleCountsFollowTheRequestedScale) {
    auto reader = SoundReader::Open(SoundOnlyPcm().string());
    DecodedSound sound;
    // 1/3 s in a scale of 3 at 48 kHz is exactly 16000 samples.
    ASSERT_EQ(reader->Read(0, 1, 3, sound), noErr);
    EXPECT_EQ(sound.frames, 16000);
    EXPECT_EQ(sound.SpanIn(3), 1);
    // 44100-scale times onto 48 kHz samples: rounded positions, no gaps.
    ASSERT_EQ(reader->Read(44100, 44100 + 441, 44100, sound), noErr);
    EXPECT_EQ(sound.firstSample, 48000);
    EXPECT_EQ(sound.frames, 480);
    ASSERT_EQ(reader->Read(10, 10, 600, sound), noErr);
    EXPECT_EQ(sound.frames, 0);
    EXPECT_EQ(reader->Read(10, 5, 600, sound), paramErr);
    EXPECT_EQ(reader->Read(0, 5, 0, sound), paramErr);
}

TEST(SoundReaderTest, GoingBackOrJumpingAheadSeeksAndStaysExact) {
    for (const auto& file : {SoundOnlyPcm(), SoundOnlyAac()}) {
        auto reader = SoundReader::Open(file.string());
        std::vector<float> reference = ReferenceSound(file);
        DecodedSound sound;
        ASSERT_EQ(reader->Read(1200, 1500, 600, sound), noErr);  // 2.0 s onwards: a jump
        EXPECT_EQ(reader->SeekCount(), 0);  // within reach of decoding forward
        EXPECT_LT(Deviation(sound, reference), 1e-4f) << file;  // AAC restarts within -80 dB
        ASSERT_EQ(reader->Read(300, 600, 600, sound), noErr);  // back to 0.5 s
        EXPECT_EQ(reader->SeekCount(), 1);
        EXPECT_EQ(sound.firstSample, 300 * int64_t(reader->SampleRate()) / 600);
        EXPECT_LT(Deviation(sound, reference), 1e-4f) << file;  // AAC restarts within -80 dB
        ASSERT_EQ(reader->Read(600, 900, 600, sound), noErr);  // continues without a seek
        EXPECT_EQ(reader->SeekCount(), 1);
        EXPECT_LT(Deviation(sound, reference), 1e-4f) << file;  // AAC restarts within -80 dB
    }
}

TEST(SoundReaderTest, ReadingPastTheEndStopsAtTheTracksEnd) {
    auto reader = SoundReader::Open(SoundOnlyPcm().string());
    DecodedSound sound;
    ASSERT_EQ(reader->Read(1200, 2400, 600, sound), noErr);  // 2 s .. 4 s of a 2.5 s track
    EXPECT_EQ(sound.frames, 24000);
    ASSERT_EQ(reader->Read(2400, 3000, 600, sound), noErr);
    EXPECT_EQ(sound.frames, 0);
}

TEST(SoundReaderTest, MovieWithoutSoundIsRefused) {
    try {
        SoundReader::Open(CountingMovie().string());
        FAIL() << "opened a silent movie";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kTrackNotInMovieErr);
    }
}

}  // namespace
