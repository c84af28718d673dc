// The arithmetic of the preview pane, apart from any widget: fitting the
// picture into the frame, where the crop handles are and which one a point
// hits, and how a crop rectangle follows a mouse drag.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

// The 9-pixel margin around the picture on every side.
constexpr int32_t kPreviewBorder = 9;

// Crop hit codes: the edges a drag moves.
enum : int32_t {
    kHitNone = 0,
    kHitLeft = 1,
    kHitTop = 2,
    kHitRight = 4,
    kHitBottom = 8,
    kHitMove = 15,
};

// A crop rectangle in displayed-picture pixels; right and bottom lie
// outside it.
struct CropRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    friend bool operator==(const CropRect&, const CropRect&) = default;
};

// Rounds to nearest, halves away from zero.
int32_t RoundToInt(double value);

struct FitResult {
    int32_t width = 0, height = 0;
    double scale = 1.0;
};

// The picture size for "fit": a picture larger than the frame (either way)
// shrinks, keeping its shape, to the frame less the margins; a picture
// that fits keeps its size.
FitResult FitPictureInFrame(int32_t pictureWidth, int32_t pictureHeight, int32_t frameWidth, int32_t frameHeight);

// The frame rectangle (view coordinates) of a 9 x 9 handle square at a
// handle point: -5..+4 around it, -4..+5 on the right and bottom edges.
QRect HandleSquare(QPoint handle, bool onRightEdge, bool onBottomEdge);

// Which part of the crop rectangle a view point hits. Source coordinate c
// lies at c x zoom (rounded) + 9. Handles first (corners only with a free
// aspect ratio), then the rectangle grown by one pixel (move).
int32_t CropHitTest(const CropRect& crop, QPoint point, double zoom, bool freeAspect);

// The crop rectangle after the edges named by hitCode moved by (dx, dy)
// source pixels inside a W x H picture, with the aspect ratio (0 = free).
// Moves keep 4 pixels inside the picture (free) or are refused when they
// would leave it (locked); edges keep the rectangle at least 4 pixels
// wide and high; everything is clamped to the picture; a locked ratio
// then fixes the other dimension, pushing the rectangle back from the far
// edge, and a result that would pass the top-left edge is refused.
CropRect DragCropRect(const CropRect& start, int32_t hitCode, int32_t dx, int32_t dy, int32_t pictureWidth,
                      int32_t pictureHeight, double aspectRatio);

// The cursor number for the crop hit code (SetThemeCursor).
int16_t CursorForCropHit(int32_t hitCode);
