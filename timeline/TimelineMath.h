// Conversions between the timeline's pixels and movie time, and its fixed
// layout bands. x is in image pixels from the movie's start.
#pragma once

#include <cstdint>

#include "model/TimeValue.h"

namespace timeline {

constexpr int32_t kRulerBottom = 30;
constexpr int32_t kVideoTop = 30;
constexpr int32_t kVideoBottom = 73;
constexpr int32_t kAudioTop = 76;
constexpr int32_t kAudioBottom = 119;
constexpr int32_t kBoxInset = 13;        // boxes start this far below a row's top
constexpr int32_t kPlaceholderHeight = 43;
constexpr int32_t kBoundaryGrab = 4;     // pixels either side of a boundary
constexpr int32_t kMinSpanPixels = 16;   // shortest span a drag may leave
constexpr int32_t kLabelWidth = 64;
constexpr int32_t kMaxZoom = 512;

inline int32_t TimeToX(const STimeValue& t, int32_t pixelsPerSecond) {
    return ConvertTimeScale(t.value, t.scale, pixelsPerSecond);
}
inline STimeValue XToTime(int32_t x, int32_t pixelsPerSecond) { return STimeValue{x, pixelsPerSecond}; }

// A span of n pixels as a time in scale 600.
inline STimeValue PixelsAsTime(int32_t pixels, int32_t pixelsPerSecond) {
    return STimeValue{ConvertTimeScale(pixels, pixelsPerSecond, 600), 600};
}

// The drop edge zone: 20 pixels of time in scale 600, in integer steps.
inline STimeValue DropEdgeZone(int32_t pixelsPerSecond) {
    return STimeValue{(10000 / pixelsPerSecond) * 12000 / 10000, 600};
}

// Zoom steps of the zoom buttons.
inline int32_t ZoomedIn(int32_t pps) {
    const int32_t z = pps * 2;
    return z > kMaxZoom ? kMaxZoom : z;
}
inline int32_t ZoomedOut(int32_t pps) {
    const int32_t z = (pps + 1) / 2;
    return z < 1 ? 1 : z;
}

// The depth popup's items in order: black and white, 4 and 16 greys, 256
// and thousands of colours, millions with alpha, and (after them, so the
// first six keep their values) millions of colours.
constexpr int16_t kPopupDepths[] = {1, 2, 4, 8, 16, 32, 24};
constexpr int32_t kPopupItems = 7;

// The popup value of the depth control as a pixel depth; values without
// an item mean millions of colours with alpha.
inline int16_t DepthForPopup(int32_t v) { return (v >= 1 && v <= kPopupItems) ? kPopupDepths[v - 1] : int16_t(32); }

// The popup value that shows a pixel depth: the reverse of DepthForPopup.
// Depths without an item of their own show as millions of colours.
inline int32_t PopupForDepth(int16_t depth) {
    for (int32_t v = 1; v <= kPopupItems; ++v)
        if (kPopupDepths[v - 1] == depth) return v;
    return kPopupItems;
}

}  // namespace timeline
