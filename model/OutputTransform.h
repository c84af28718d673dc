// How a source picture becomes the output picture: flips, then a quarter
// turn (with the shift that brings the turned picture back to the origin),
// then the crop of the turned picture, then the scaling to the output
// size. The compressor draws every frame through the whole of it; the
// previews show the turned picture and lay the crop over it themselves,
// so they take the orientation part alone.
#pragma once

#include <cstdint>

#include "platform/media/Rect.h"
#include "platform/media/source/MovieMatrix.h"

class CTambleDocModel;
struct SCompressSettings;

struct OutputGeometry {
    bool flipHorizontal = false;
    bool flipVertical = false;
    int32_t rotation = 0;     // degrees, a multiple of 90
    Rect crop;                // in the turned picture; empty: all of it
    int32_t outputWidth = 0;  // either one 0: the crop's size
    int32_t outputHeight = 0;

    static OutputGeometry Of(const CTambleDocModel& model);
    static OutputGeometry Of(const SCompressSettings& settings);
};

class OutputTransform {
public:
    // For a source picture of sourceWidth x sourceHeight.
    OutputTransform(const OutputGeometry& geometry, double sourceWidth, double sourceHeight);

    // Flips and turn alone: the source onto the turned picture at (0, 0).
    const MovieMatrix& Orientation() const { return mOrientation; }
    // The whole way: the source onto the output frame.
    const MovieMatrix& ToFrame() const { return mToFrame; }
    int FrameWidth() const { return mFrameWidth; }
    int FrameHeight() const { return mFrameHeight; }

private:
    MovieMatrix mOrientation;
    MovieMatrix mToFrame;
    int mFrameWidth = 0;
    int mFrameHeight = 0;
};
