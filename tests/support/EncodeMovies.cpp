#include "EncodeMovies.h"

#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/VideoEncoder.h"
#include "support/TestSupport.h"

namespace encodetest {

void DrawFrame(OffscreenWorld& world, int index, int noise) {
    uint32_t seed = 12345u + uint32_t(index) * 7919u;
    const int square = world.Height() / 3;
    const int sx = (index * 5) % std::max(1, world.Width() - square);
    const int sy = (index * 3) % std::max(1, world.Height() - square);
    for (int y = 0; y < world.Height(); ++y) {
        uint8_t* p = world.Row(y);
        for (int x = 0; x < world.Width(); ++x, p += world.BytesPerPixel()) {
            seed = seed * 1664525u + 1013904223u;
            const int n = noise ? int(seed >> 24) % (noise + 1) : 0;
            const bool inSquare = x >= sx && x < sx + square && y >= sy && y < sy + square;
            p[0] = uint8_t(inSquare ? 230 : (x * 255 / world.Width() + n) & 0xFF);
            p[1] = uint8_t(inSquare ? 40 : (y * 255 / world.Height() + n) & 0xFF);
            p[2] = uint8_t(inSquare ? 60 : (128 + n) & 0xFF);
            if (world.BytesPerPixel() == 4) p[3] = 255;
        }
    }
}

std::vector<bool> WriteVideoMovie(const std::filesystem::path& path, const std::vector<Segment>& segments, int width,
                                  int height, int noise) {
    MovieWriter writer;
    writer.Create(path.string(), MovieWriter::IsMp4Path(path.string()));
    OffscreenWorld world(width, height);
    std::vector<EncodedPacket> packets;
    std::vector<bool> keys;
    int64_t pts = 0;
    int frameIndex = 0;
    for (const Segment& segment : segments) {
        VideoEncoder encoder;
        encoder.Open(segment.settings, width, height, {1, 600});
        if (!writer.HasVideoTrack()) writer.AddVideoTrack(encoder);
        for (int64_t duration : segment.durations) {
            DrawFrame(world, frameIndex++, noise);
            encoder.Encode(world, pts, duration, packets);
            pts += duration;
        }
        encoder.Flush(packets);
        for (const auto& p : packets) {
            writer.WriteVideoPacket(p);
            keys.push_back(p.keyFrame);
        }
        packets.clear();
    }
    writer.Finish();
    return keys;
}

std::vector<bool> DecodedKeyFrames(const std::filesystem::path& file) {
    std::vector<bool> keys;
    for (const std::string& line : testsupport::Lines(testsupport::Probe(file, "-select_streams v:0 -show_entries frame=key_frame")))
        keys.push_back(line == "1");
    return keys;
}

}  // namespace encodetest
