// Compressing one picture once with a codec type and a spatial quality, so
// that a pane can show what a codec setting does to a frame, and reading
// such a picture back.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/StreamParameters.h"

struct CompressedImage {
    OSType codecType = 0;
    int width = 0;   // the size compressed: codecs that need even sizes crop an odd edge
    int height = 0;
    std::vector<uint8_t> data;    // one key frame
    StreamParameters parameters;  // what a decoder needs besides the data (codec headers)
};

// False (and out untouched) when the codec is missing or cannot take the
// picture; never throws for a bad picture or codec.
bool CompressImageOnce(const OffscreenWorld& picture, OSType codecType, int32_t spatialQuality,
                       CompressedImage& out);
// The codec type and spatial quality come from a video settings description
// (defaults 'raw ' and 0x200 when missing or unreadable).
bool CompressPreviewImage(const Handle& videoSettings, const OffscreenWorld& picture, CompressedImage& out);

// Decodes the picture into an RGB24 world of its size. False on damaged data.
bool DecompressImage(const CompressedImage& image, OffscreenWorld& out);
