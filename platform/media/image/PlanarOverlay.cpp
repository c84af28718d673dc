#include "platform/media/image/PlanarOverlay.h"

#include <algorithm>

void PlanarOverlay::Prepare(const OffscreenWorld& premultiplied, const ColourDescription& colour) {
    for (Plane& p : mPlanes) p = Plane();
    mFrameWidth = premultiplied.Width();
    mFrameHeight = premultiplied.Height();
    if (premultiplied.PixelFormat() != OffscreenWorld::Format::RGBA32 || premultiplied.IsEmpty()) return;

    // The covered rectangle, widened to whole 2 x 2 blocks.
    int x0 = mFrameWidth, y0 = mFrameHeight, x1 = 0, y1 = 0;
    for (int y = 0; y < mFrameHeight; ++y) {
        const uint8_t* row = premultiplied.Row(y);
        for (int x = 0; x < mFrameWidth; ++x)
            if (row[x * 4 + 3] != 0) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x + 1);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y + 1);
            }
    }
    if (x1 <= x0 || y1 <= y0) return;
    x0 &= ~1;
    y0 &= ~1;

    const int chromaWidth = (x1 - x0 + 1) / 2, chromaHeight = (y1 - y0 + 1) / 2;
    Plane& luma = mPlanes[0];
    luma = Plane{x0, y0, x1 - x0, y1 - y0, 255, {}, {}};
    for (int p = 1; p < 3; ++p) mPlanes[p] = Plane{x0 / 2, y0 / 2, chromaWidth, chromaHeight, 4 * 255, {}, {}};
    for (Plane& p : mPlanes) {
        p.alpha.assign(size_t(p.width) * p.height, 0);
        p.colour.assign(size_t(p.width) * p.height, 0);
    }
    for (int y = y0; y < y1; ++y) {
        const uint8_t* row = premultiplied.Row(y);
        for (int x = x0; x < x1; ++x) {
            const uint8_t* s = row + x * 4;
            const unsigned a = s[3];
            if (a == 0) continue;
            auto straight = [a](unsigned c) { return uint8_t(std::min(255u, (c * 255 + a / 2) / a)); };
            uint8_t yuv[3];
            RgbToYuv(colour, straight(s[0]), straight(s[1]), straight(s[2]), yuv);
            const size_t li = size_t(y - y0) * luma.width + (x - x0);
            luma.alpha[li] = a;
            luma.colour[li] = yuv[0] * a;
            const size_t ci = size_t((y - y0) / 2) * chromaWidth + (x - x0) / 2;
            for (int p = 1; p < 3; ++p) {
                mPlanes[p].alpha[ci] += a;
                mPlanes[p].colour[ci] += yuv[p] * a;
            }
        }
    }
}

void PlanarOverlay::BlendInto(OffscreenWorld& frame) const {
    if (IsEmpty() || !frame.IsPlanar() || frame.Width() != mFrameWidth || frame.Height() != mFrameHeight) return;
    if (frame.SampleBytes() == 2) Blend<uint16_t>(frame, 4);  // 8-bit colours placed in 10 bits
    else Blend<uint8_t>(frame, 1);
}

template <typename Sample>
void PlanarOverlay::Blend(OffscreenWorld& frame, uint32_t scale) const {
    for (int p = 0; p < 3; ++p) {
        const Plane& o = mPlanes[p];
        const int width = std::min(o.width, frame.PlaneWidth(p) - o.left);
        const int height = std::min(o.height, frame.PlaneHeight(p) - o.top);
        for (int y = 0; y < height; ++y) {
            Sample* d = reinterpret_cast<Sample*>(frame.Plane(p) + size_t(o.top + y) * frame.PlaneStride(p)) + o.left;
            const uint32_t* a = o.alpha.data() + size_t(y) * o.width;
            const uint32_t* c = o.colour.data() + size_t(y) * o.width;
            for (int x = 0; x < width; ++x) {
                if (a[x] == 0) continue;
                d[x] = Sample((c[x] * scale + d[x] * (o.weight - a[x]) + o.weight / 2) / o.weight);
            }
        }
    }
}
