// How the output's colours are made from the source's: chosen once for a
// compression, from the source's tags and what the codec can hold, and
// followed by every step on the way (the frame renderer, the frame buffer,
// the encoder and the tags it writes).
//
// Tagged sources keep their primaries, curve, matrix and range; untagged
// ones are read as players read them (ColourDescription::WithConventions).
// A source of more than 8 bits stays deep where the codec has a 10-bit
// format. HDR pictures keep their tags where the codec holds 10 bits, and
// are tone-mapped to SDR BT.709 where it does not.
#pragma once

#include <string>

#include "platform/media/ColourDescription.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/encode/VideoCodecTable.h"

struct OutputColour {
    ColourDescription source;  // the source's, untagged values filled in
    ColourDescription output;  // the encoder's pictures, as the output is tagged
    bool toneMap = false;      // HDR brought down to SDR on the way
    std::string pixelFormat;   // the encoder's (FFmpeg's name)
    std::string note;          // for the job's notes; "" when nothing changes

    // The planar world the encoder takes without converting (4:2:0 of 8 or
    // 10 bits); false when frames must come as RGB.
    bool PlanarWorld(OffscreenWorld::Format& format) const;

    static OutputColour Choose(const ColourDescription& tagged, int width, int height, const VideoCodecInfo& codec,
                               int depth);
};
