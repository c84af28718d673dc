#include <gtest/gtest.h>

#include <sstream>

#include "SourceFixtures.h"
#include "platform/media/source/SoundPacketReader.h"
#include "platform/media/source/SourceErrors.h"
#include "support/TestSupport.h"

using namespace fixtures;

namespace {

struct ProbedPacket {
    int64_t pts, size;
};

std::vector<ProbedPacket> ProbeSoundPackets(const std::filesystem::path& file) {
    std::string out = testsupport::CaptureCommand("ffprobe -v error -select_streams a:0 -show_entries packet=pts,size "
                                                  "-of csv=p=0 " + testsupport::ShellQuote(file.string()));
    std::vector<ProbedPacket> packets;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        ProbedPacket p{};
        char comma;
        std::istringstream fields(line);
        if (fields >> p.pts >> comma >> p.size) packets.push_back(p);
    }
    return packets;
}

TEST(SoundPacketReaderTest, HandsOutEveryPacketWithItsTimeFromMovieZero) {
    for (const auto& file : {SoundOnlyAac(), MovieWithSound(), SoundOnlyPcm()}) {
        auto reader = SoundPacketReader::Open(file.string());
        std::vector<ProbedPacket> expected = ProbeSoundPackets(file);
        ASSERT_FALSE(expected.empty());
        std::vector<ProbedPacket> got;
        EncodedPacket packet;
        int64_t lastDts = INT64_MIN;
        while (reader->Next(packet)) {
            got.push_back({packet.pts, int64_t(packet.data.size())});
            EXPECT_GT(packet.dts, lastDts);
            lastDts = packet.dts;
        }
        ASSERT_EQ(got.size(), expected.size()) << file;
        // These files start at 0, so the times are the container's own.
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].pts, expected[i].pts) << file << " packet " << i;
            EXPECT_EQ(got[i].size, expected[i].size) << file << " packet " << i;
        }
        EXPECT_FALSE(reader->Next(packet));

        reader->Rewind();
        ASSERT_TRUE(reader->Next(packet));
        EXPECT_EQ(packet.pts, expected[0].pts);
    }
}

TEST(SoundPacketReaderTest, ParametersDescribeTheTrackForAWriter) {
    auto reader = SoundPacketReader::Open(SoundOnlyAac().string());
    const StreamParameters& p = reader->Parameters();
    EXPECT_TRUE(p.IsAudio());
    EXPECT_EQ(p.CodecName(), "aac");
    EXPECT_EQ(p.TimeBase().den, 44100);
    EXPECT_EQ(reader->TimeBase().den, 44100);
    ASSERT_NE(p.CodecParameters(), nullptr);
}

TEST(SoundPacketReaderTest, MovieWithoutSoundIsRefused) {
    try {
        SoundPacketReader::Open(CountingMovie().string());
        FAIL() << "opened a silent movie";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), kTrackNotInMovieErr);
    }
}

}  // namespace
