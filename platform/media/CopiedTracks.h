// What a movie carries besides the picture and sound that are compressed:
// further tracks copied as they are, chapters and the movie's details.
// Handed from the source reader to the movie writer without either side's
// users seeing an FFmpeg header.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/StreamParameters.h"

using MediaTags = std::vector<std::pair<std::string, std::string>>;

struct CopiedTrack {
    StreamParameters parameters;  // codec, headers and the time base of its packets
    MediaTags tags;               // language, title, handler name
    bool isDefault = false;       // played unless the viewer picks another
    std::vector<uint8_t> displayMatrix;  // 36 bytes when the track carries one
};

struct MovieChapter {
    int64_t start = 0, end = 0;  // in units of timeBase, from movie time 0
    MediaTimeBase timeBase;
    std::string title;
};

// Title, artist, comment, creation time, location and the like, and the chapters.
struct MovieDetails {
    MediaTags tags;
    std::vector<MovieChapter> chapters;
};
