// A compressed sample on its way into or out of a movie: one video frame or
// one block of sound, with its times in the time base of the stream that
// produced it. Shared by the encoders, the movie writer and the sound copy.
#pragma once

#include <cstdint>
#include <vector>

// A time base num/den: one unit is num/den seconds.
struct MediaTimeBase {
    int num = 1;
    int den = 600;
};

struct EncodedPacket {
    std::vector<uint8_t> data;
    int64_t pts = 0;       // presentation time
    int64_t dts = 0;       // decoding time (equal to pts unless frames are reordered)
    int64_t duration = 0;  // how long the sample lasts; the muxer writes it as is
    bool keyFrame = false; // sync sample
};
