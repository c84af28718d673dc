// Where the document's watermark goes and how big it is: over every output
// frame at its own size, and over a preview's picture of the crop at the
// preview's zoom.
#pragma once

#include <cstdint>

#include "platform/media/Rect.h"

class CTambleDocModel;

// Placement flags: 4 pushes the picture to the right edge, 8 to the
// bottom; with 1 (or 2) the horizontal (or vertical) move is halved, which
// centres it.
constexpr int32_t kPlaceCentreHorizontally = 1;
constexpr int32_t kPlaceCentreVertically = 2;
constexpr int32_t kPlaceRight = 4;
constexpr int32_t kPlaceBottom = 8;
constexpr int32_t kDefaultWatermarkPlacement = kPlaceRight | kPlaceBottom;

// Moves rect to (0, 0), then right by (frame width - rect width) with flag 4
// (halved with flag 1) and down by (frame height - rect height) with flag 8
// (halved with flag 2).
Rect PlaceRectInFrame(const Rect& rect, const Rect& frame, int32_t flags);

// The watermark over a preview's picture of the crop (cropWidth x
// cropHeight picture pixels) drawn at `zoom` into `area`: its natural size
// times the zoom; when the output is scaled to a custom size each side also
// scales by crop / output, within 4 ... 500 pixels, so that it covers the
// part of the crop it will cover in the output. Placed in `area` by the
// document's flags.
Rect PlaceWatermarkOverCrop(const CTambleDocModel& model, int naturalWidth, int naturalHeight, const Rect& area,
                            double zoom, int cropWidth, int cropHeight);
