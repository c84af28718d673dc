// The movie writer: refusals before anything is written, no broken file
// after an abort, and MP4 destinations told apart by their name.
#include <gtest/gtest.h>

#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/VideoEncoder.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

VideoSettings Video(OSType type = FourCC("avc1")) {
    VideoSettings s;
    s.codecType = type;
    return s;
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
    for (auto [path, mp4] : {std::pair{"/a/b.mp4", true}, {"/a/B.MP4", true}, {"/a/b.mov", false}, {"/a/mp4", false}})
        EXPECT_EQ(MovieWriter::IsMp4Path(path), mp4) << path;
}

}  // namespace
