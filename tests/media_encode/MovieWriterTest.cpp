#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "EncodeTestSupport.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/VideoEncoder.h"
#include "platform/media/source/SoundPacketReader.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::Probe;
using testsupport::ShellQuote;

namespace {

std::string PacketHashes(const fs::path& file) {
    return testsupport::CaptureCommand("ffmpeg -nostdin -v error -i " + ShellQuote(file.string()) +
                                       " -map 0:a:0 -c copy -f md5 -");
}

VideoSettings H264() {
    VideoSettings s;
    s.codecType = FourCC("avc1");
    return s;
}

}  // namespace

TEST(MovieWriter, TellsMp4DestinationsApart) {
    EXPECT_TRUE(MovieWriter::IsMp4Path("/a/b.mp4"));
    EXPECT_TRUE(MovieWriter::IsMp4Path("/a/B.MP4"));
    EXPECT_FALSE(MovieWriter::IsMp4Path("/a/b.mov"));
    EXPECT_FALSE(MovieWriter::IsMp4Path("/a/mp4"));
    EXPECT_FALSE(MovieWriter::IsMp4Path(""));
}

TEST(MovieWriter, CopiedSoundTrackIsBitExact) {
    for (const char* name : {"copy-aac.mov", "copy-pcm.mov"}) {
        SCOPED_TRACE(name);
        const bool aac = std::string(name) == "copy-aac.mov";
        const fs::path source = testsupport::FixtureMovie(
            name, std::string("-f lavfi -i sine=frequency=330:duration=1.3:sample_rate=44100 -ac 2 ") +
                      (aac ? "-c:a aac -b:a 96k" : "-c:a pcm_s16le"));
        auto reader = SoundPacketReader::Open(source.string());
        const fs::path out = testsupport::ScratchDir() / "copy.mov";
        MovieWriter writer;
        writer.Create(out.string(), false);
        writer.AddCopiedSoundTrack(reader->Parameters());
        EncodedPacket packet;
        int count = 0;
        while (reader->Next(packet)) {
            writer.WriteSoundPacket(packet);
            ++count;
        }
        writer.Finish();
        EXPECT_GT(count, 0);
        const std::string expected = PacketHashes(source);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(PacketHashes(out), expected);
        EXPECT_EQ(Probe(out, "-select_streams a:0 -show_entries stream=duration"),
                  Probe(source, "-select_streams a:0 -show_entries stream=duration"));
    }
}

TEST(MovieWriter, VideoThenSoundInTwoPassesGivesTheRightDurations) {
    const fs::path out = testsupport::ScratchDir() / "both.mp4";
    MovieWriter writer;
    writer.Create(out.string(), true);
    SoundSettings soundSettings;
    soundSettings.compressionType = FourCC("aac ");
    SoundEncoder sound;
    sound.Open(soundSettings, PcmFormat{48000, 2, PcmSampleType::Float, false});
    writer.AddSoundTrack(sound);
    VideoEncoder video;
    video.Open(H264(), 96, 64, {1, 600});
    writer.AddVideoTrack(video);
    EXPECT_TRUE(writer.HasVideoTrack());
    EXPECT_TRUE(writer.HasSoundTrack());

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

    EXPECT_NEAR(std::stod(Probe(out, "-select_streams v:0 -show_entries stream=duration")), 2.0, 1e-6);
    EXPECT_NEAR(std::stod(Probe(out, "-select_streams a:0 -show_entries stream=duration")), 2.0, 0.03);
    EXPECT_EQ(encodetest::DecodeErrors(out), "");
    // The movie resource comes before the data.
    const std::string head = testsupport::CaptureCommand("head -c 64 " + ShellQuote(out.string()) + " | od -An -c");
    EXPECT_LT(head.find("m   o   o   v"), head.find("m   d   a   t")) << head;
}

TEST(MovieWriter, RefusesWhatTheContainerCannotHoldBeforeWritingAnything) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path out = dir / "refused.mp4";
    {
        MovieWriter writer;
        writer.Create(out.string(), true);
        VideoSettings s;
        s.codecType = FourCC("rle ");
        VideoEncoder encoder;
        encoder.Open(s, 32, 32);
        try {
            writer.AddVideoTrack(encoder);
            FAIL() << "Animation accepted into mp4";
        } catch (const LException& e) {
            EXPECT_EQ(e.Code(), kContainerCodecErr);
            EXPECT_NE(e.Message().find("Animation"), std::string::npos);
        }
        EXPECT_FALSE(writer.HasVideoTrack());
    }
    EXPECT_FALSE(fs::exists(out));  // never finished: removed
}

TEST(MovieWriter, AbortAndMisuseLeaveNoBrokenFile) {
    const fs::path dir = testsupport::ScratchDir();
    const fs::path out = dir / "aborted.mov";
    MovieWriter writer;
    writer.Create(out.string(), false);
    VideoEncoder encoder;
    encoder.Open(H264(), 32, 32);
    writer.AddVideoTrack(encoder);
    OffscreenWorld world(32, 32);
    std::vector<EncodedPacket> packets;
    encoder.Encode(world, 0, 20, packets);
    encoder.Flush(packets);
    writer.WriteVideoPacket(packets.at(0));
    SoundEncoder sound;
    sound.Open(SoundSettings{}, PcmFormat{8000, 1});
    EXPECT_THROW(writer.AddSoundTrack(sound), LException);  // after the first sample
    EXPECT_THROW(writer.WriteSoundPacket(packets.at(0)), LException);  // no sound track
    EXPECT_TRUE(fs::exists(out));
    writer.Abort();
    EXPECT_FALSE(fs::exists(out));
    EXPECT_THROW(writer.WriteVideoPacket(packets.at(0)), LException);

    MovieWriter nowhere;
    EXPECT_THROW(nowhere.Create((dir / "no-such-folder" / "x.mov").string(), false), LException);
    EXPECT_THROW(nowhere.Finish(), LException);
}

TEST(MovieWriter, AMovieWithoutSamplesIsStillAMovie) {
    const fs::path out = testsupport::ScratchDir() / "empty.mov";
    MovieWriter writer;
    writer.Create(out.string(), false);
    writer.Finish();
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(testsupport::RunCommand("ffprobe -v error " + ShellQuote(out.string())), 0);
}
