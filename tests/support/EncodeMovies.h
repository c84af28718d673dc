// Frames and movies made for the encoder tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/media/OffscreenWorld.h"
#include "platform/media/encode/VideoSettings.h"

namespace encodetest {

// A picture that changes from frame to frame: a gradient with a moving
// square and a little deterministic noise (so rate control has work to do).
void DrawFrame(OffscreenWorld& world, int index, int noise = 8);

struct Segment {
    VideoSettings settings;
    std::vector<int64_t> durations;  // one per frame, in 1/600 s
};

// Writes the segments one after another into one video track, each with
// its own encoder; returns the packets' key flags in order.
std::vector<bool> WriteVideoMovie(const std::filesystem::path& path, const std::vector<Segment>& segments, int width,
                                  int height, int noise = 8);

// Whether each decoded video frame is a key frame, from ffprobe -show_frames.
std::vector<bool> DecodedKeyFrames(const std::filesystem::path& file);

}  // namespace encodetest
