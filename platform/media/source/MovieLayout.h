// What the source layer learns about a movie when it opens it, shared by
// the movie object and the readers that open the same file on their own
// (frame renderer, sound reader, packet reader).
#pragma once

#include <cstdint>
#include <string>

#include "platform/media/ColourDescription.h"
#include "platform/media/source/MovieMatrix.h"

// A time as value * num / den seconds.
struct RationalTime {
    int64_t value = 0;
    int num = 0;
    int den = 1;
    double Seconds() const { return den ? double(value) * num / den : 0.0; }
};

struct MovieLayout {
    std::string path;
    std::string containerName;       // libavformat's name, e.g. "mov,mp4,m4a,3gp,3g2,mj2"
    bool isQuickTimeFamily = false;  // mov/mp4: has a moov atom and an mvhd time scale

    int32_t timeScale = 600;
    int64_t duration = 0;  // in timeScale units

    // Movie time 0 is this source time (the start offset of edit lists and
    // decoder delay), so that the first frame is shown at 0.
    RationalTime origin;

    int videoStream = -1;  // index of the enabled visual track's stream, -1 without
    int audioStream = -1;  // first audio stream, -1 without
    int codedWidth = 0, codedHeight = 0;  // decoded frame size
    int sarNum = 1, sarDen = 1;           // pixel aspect ratio
    int boxWidth = 0, boxHeight = 0;      // display size: aspect and rotation applied
    double frameRate = 0;                 // frames per second, 0 when unknown
    ColourDescription colour;             // the picture's tags as stored (unspecified where untagged)
    std::string videoCodec, audioCodec;   // decoder names
    int audioSampleRate = 0, audioChannels = 0;

    // Maps decoded-frame pixel coordinates (0..codedWidth, 0..codedHeight)
    // onto the box: pixel aspect, then the track's display rotation/flip.
    MovieMatrix frameToBox;
};
