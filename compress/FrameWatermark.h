// The watermark laid over every output frame: drawn with its alpha into an
// RGB frame buffer, or, for a YUV frame buffer, drawn once and blended in
// YUV each frame, so that the frames never leave YUV.
#pragma once

#include <memory>
#include <string>

#include "platform/media/FSSpec.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/image/PlanarOverlay.h"

class ImageFileReader;

class FrameWatermark {
public:
    FrameWatermark();
    ~FrameWatermark();

    // Lays the picture in `file` (none when not set) out in the frame
    // buffer by the placement flags; the buffer must outlive it. A picture
    // that cannot be read is left out, and a sentence for the user says so;
    // otherwise returns "".
    std::string Prepare(const FSSpec& file, int32_t placement, OffscreenWorld& frameBuffer);
    // Lays it over the frame buffer's current picture.
    void DrawOver(OffscreenWorld& frameBuffer);
    void Clear();

private:
    std::unique_ptr<ImageFileReader> mPicture;  // drawn on each RGB frame
    PlanarOverlay mPlanar;                      // blended on each YUV frame
};
