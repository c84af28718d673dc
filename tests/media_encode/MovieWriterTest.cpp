// The movie writer: copied sound bit for bit, two passes with the right
// durations and the movie resource first, refusals before anything is
// written, and no broken file after an abort.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/VideoEncoder.h"
#include "support/EncodeMovies.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

VideoSettings Video(OSType type = FourCC("avc1")) {
    VideoSettings s;
    s.codecType = type;
    return s;
}

TEST(MovieWriter, TellsMp4DestinationsApart) {
    for (auto [path, mp4] : {std::pair{"/a/b.mp4", true}, {"/a/B.MP4", true}, {"/a/b.mov", false}, {"/a/mp4", false},
                             {"", false}})
        EXPECT_EQ(MovieWriter::IsMp4Path(path), mp4) << path;
}

TEST(MovieWriter, VideoThenSoundInTwoPassesGivesTheRightDurations) {
    const fs::path out = ScratchDir() / "both.mp4";
    MovieWriter writer;
    writer.Create(out.string(), true);
    SoundSettings soundSettings;
    soundSettings.compressionType = FourCC("aac ");
    SoundEncoder sound;
    sound.Open(soundSettings, PcmFormat{48000, 2, PcmSampleType::Float, false});
    writer.AddSoundTrack(sound);
    VideoEncoder video;
    video.Open(Video(), 96, 64, {1, 600});
    writer.AddVideoTrack(video);
    EXPECT_TRUE(writer.HasVideoTrack() && writer.HasSoundTrack());

    OffscreenWorld world(96, 64);
    std::vector<EncodedPacket> packets;
    for (int i = 0; i < 50; ++i) {  // two seconds at 25 fps
        encodetest::DrawFrame(world, i);
        video.Encode(world, i * 24, 24, packets);
    }
    video.Flush(packets);
    for (const auto& p : packets) writer.WriteVideoPacket(p);
    packets.clear();
    std::vector<float> block(48000 * 2);
    for (size_t i = 0; i < block.size(); ++i) block[i] = 0.3f * float(std::sin(double(i) * 0.03));
    sound.Convert(block.data(), 48000, packets);
    sound.Convert(block.data(), 48000, packets);
    sound.Finish(packets);
    for (const auto& p : packets) writer.WriteSoundPacket(p);
    writer.Finish();

    EXPECT_NEAR(DurationSeconds(out, "v:0"), 2.0, 1e-6);
    EXPECT_NEAR(DurationSeconds(out, "a:0"), 2.0, 0.03);
    EXPECT_EQ(DecodeErrors(out), "");
    const std::string head = ReadBytes(out).substr(0, 64);  // the movie resource comes before the data
    EXPECT_LT(head.find("moov"), head.find("mdat"));
}

TEST(MovieWriter, RefusalsAbortsAndMisuseLeaveNoBrokenFile) {
    const fs::path dir = ScratchDir();
    {
        MovieWriter writer;
        writer.Create((dir / "refused.mp4").string(), true);
        VideoEncoder encoder;
        encoder.Open(Video(FourCC("rle ")), 32, 32);
        const auto [code, message] = Thrown([&] { writer.AddVideoTrack(encoder); });
        EXPECT_EQ(code, kContainerCodecErr);
        EXPECT_NE(message.find("Animation"), std::string::npos) << message;
        EXPECT_FALSE(writer.HasVideoTrack());
    }
    EXPECT_FALSE(fs::exists(dir / "refused.mp4"));  // never finished: removed

    const fs::path out = dir / "aborted.mov";
    MovieWriter writer;
    writer.Create(out.string(), false);
    VideoEncoder encoder;
    encoder.Open(Video(), 32, 32);
    writer.AddVideoTrack(encoder);
    OffscreenWorld world(32, 32);
    std::vector<EncodedPacket> packets;
    encoder.Encode(world, 0, 20, packets);
    encoder.Flush(packets);
    writer.WriteVideoPacket(packets.at(0));
    SoundEncoder sound;
    sound.Open(SoundSettings{}, PcmFormat{8000, 1});
    EXPECT_THROW(writer.AddSoundTrack(sound), LException);             // after the first sample
    EXPECT_THROW(writer.WriteSoundPacket(packets.at(0)), LException);  // no sound track
    EXPECT_TRUE(fs::exists(out));
    writer.Abort();
    EXPECT_FALSE(fs::exists(out));
    EXPECT_THROW(writer.WriteVideoPacket(packets.at(0)), LException);
    MovieWriter nowhere;
    EXPECT_THROW(nowhere.Create((dir / "no-such-folder" / "x.mov").string(), false), LException);
    EXPECT_THROW(nowhere.Finish(), LException);
    // A movie without samples is still a movie.
    MovieWriter empty;
    empty.Create((dir / "empty.mov").string(), false);
    empty.Finish();
    EXPECT_EQ(RunCommand("ffprobe -v error " + Q(dir / "empty.mov")), 0);
}

}  // namespace
