// A picture with alpha made ready once for blending over many YUV 4:2:0
// frames, so that a watermarked compression never leaves YUV. Only the
// rectangle the picture covers is kept; colour planes blend with the mean
// alpha of each 2 x 2 block.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/OffscreenWorld.h"

class PlanarOverlay {
public:
    // `premultiplied` is an RGBA32 world of the frames' size whose colours
    // are already multiplied by their alpha (what a picture drawn with
    // alpha into a cleared RGBA32 world gives); the colours are turned into
    // YUV with `colour`, the frames' own matrix and range.
    void Prepare(const OffscreenWorld& premultiplied, const ColourDescription& colour);
    bool IsEmpty() const { return mPlanes[0].width == 0; }
    // Blends over a planar YUV world (8 or 10 bits) of the prepared size;
    // other worlds are left alone.
    void BlendInto(OffscreenWorld& frame) const;

private:
    struct Plane {
        int left = 0, top = 0, width = 0, height = 0;
        uint32_t weight = 255;         // alpha sum of a fully covered pixel
        std::vector<uint32_t> alpha;   // alpha sum per pixel
        std::vector<uint32_t> colour;  // value times alpha, summed the same way
    };
    template <typename Sample>
    void Blend(OffscreenWorld& frame, uint32_t scale) const;

    Plane mPlanes[3];
    int mFrameWidth = 0, mFrameHeight = 0;
};
