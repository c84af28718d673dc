// Where pictures go: fitting one into a box and placing a watermark in a
// frame.
#pragma once

#include <cstdint>

#include "platform/media/Rect.h"

// Placement flags for PlaceRectInFrame: 4 pushes the picture to the right
// edge, 8 to the bottom; with 1 (or 2) the horizontal (or vertical) move is
// halved, which centres it.
constexpr int32_t kPlaceCentreHorizontally = 1;
constexpr int32_t kPlaceCentreVertically = 2;
constexpr int32_t kPlaceRight = 4;
constexpr int32_t kPlaceBottom = 8;
constexpr int32_t kDefaultWatermarkPlacement = kPlaceRight | kPlaceBottom;

// Scales the picture down to fit the box when it is wider or taller than the
// box (keeping its aspect ratio; the limiting side takes the box's size),
// then centres it in the box; offsets are rounded half up.
Rect FitPictureInBox(const Rect& picture, const Rect& box);

// Moves rect to (0, 0), then right by (frame width - rect width) with flag 4
// (halved with flag 1) and down by (frame height - rect height) with flag 8
// (halved with flag 2).
Rect PlaceRectInFrame(const Rect& rect, const Rect& frame, int32_t flags);
