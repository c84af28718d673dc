#include "preview/PreviewGeometry.h"

#include <algorithm>
#include <cmath>

int32_t RoundToInt(double value) {
    if (!std::isfinite(value)) return 0;
    const double r = std::round(value);
    return int32_t(std::clamp(r, -2147483648.0, 2147483647.0));
}

FitResult FitPictureInFrame(int32_t W, int32_t H, int32_t fw, int32_t fh) {
    FitResult fit{W, H, 1.0};
    if (W <= 0 || H <= 0) return fit;
    if (fw >= W && fh >= H) return fit;
    const int32_t border2 = 2 * kPreviewBorder;
    if (double(W) / double(H) <= double(fw) / double(fh)) {
        // The height rules.
        fit.height = std::max(1, fh - border2);
        fit.scale = double(fit.height) / double(H);
        fit.width = int32_t(int64_t(W) * fit.height / H);
    } else {
        fit.width = std::max(1, fw - border2);
        fit.height = int32_t(int64_t(H) * fit.width / W);
        fit.scale = double(fit.width) / double(W);
    }
    return fit;
}

QRect HandleSquare(QPoint handle, bool onRightEdge, bool onBottomEdge) {
    const int left = handle.x() + (onRightEdge ? -4 : -5);
    const int top = handle.y() + (onBottomEdge ? -4 : -5);
    return QRect(left, top, 9, 9);
}

int32_t CropHitTest(const CropRect& crop, QPoint point, double zoom, bool freeAspect) {
    auto map = [zoom](int32_t c) { return RoundToInt(c * zoom) + kPreviewBorder; };
    const int l = map(crop.left), t = map(crop.top), r = map(crop.right), b = map(crop.bottom);
    const int midX = (l + r) / 2, midY = (t + b) / 2;
    struct Handle {
        QPoint at;
        bool right, bottom, corner;
        int32_t code;
    };
    const Handle handles[] = {
        {{l, t}, false, false, true, kHitLeft | kHitTop},
        {{r, t}, true, false, true, kHitTop | kHitRight},
        {{r, b}, true, true, true, kHitRight | kHitBottom},
        {{l, b}, false, true, true, kHitLeft | kHitBottom},
        {{midX, t}, false, false, false, kHitTop},
        {{midX, b}, false, true, false, kHitBottom},
        {{l, midY}, false, false, false, kHitLeft},
        {{r, midY}, true, false, false, kHitRight},
    };
    for (const Handle& h : handles) {
        if (h.corner && !freeAspect) continue;
        if (HandleSquare(h.at, h.right, h.bottom).contains(point)) return h.code;
    }
    const QRect grown(QPoint(l - 1, t - 1), QPoint(r, b));  // (l-1, t-1) .. (r+1, b+1) exclusive
    if (grown.contains(point)) return kHitMove;
    return kHitNone;
}

CropRect DragCropRect(const CropRect& start, int32_t code, int32_t dx, int32_t dy, int32_t W, int32_t H,
                      double aspect) {
    constexpr int32_t kMinimum = 4;
    const bool locked = aspect > 0.0;
    CropRect r = start;
    if (code & kHitLeft) r.left += dx;
    if (code & kHitTop) r.top += dy;
    if (code & kHitRight) r.right += dx;
    if (code & kHitBottom) r.bottom += dy;

    if (code == kHitMove) {
        if (!locked) {
            r.right = std::max(r.right, kMinimum);
            r.left = std::min(r.left, W - kMinimum);
            r.bottom = std::max(r.bottom, kMinimum);
            r.top = std::min(r.top, H - kMinimum);
        } else if (r.left < 0 || r.top < 0 || r.right > W || r.bottom > H) {
            return start;
        }
    } else {
        if (code & kHitRight) r.right = std::max(r.right, r.left + kMinimum);
        if (code & kHitBottom) r.bottom = std::max(r.bottom, r.top + kMinimum);
        if (code & kHitLeft) r.left = std::min(r.left, r.right - kMinimum);
        if (code & kHitTop) r.top = std::min(r.top, r.bottom - kMinimum);
    }

    r.right = std::min(r.right, W);
    r.left = std::max(r.left, 0);
    r.bottom = std::min(r.bottom, H);
    r.top = std::max(r.top, 0);

    if (locked && code != kHitMove) {
        if (!(code & kHitLeft) && !(code & kHitRight)) {
            const int32_t width = RoundToInt(r.Height() * aspect);
            r.right = r.left + width;
            if (r.right > W) {
                r.left = W - width;
                r.right = W;
            }
        } else {
            const int32_t height = RoundToInt(r.Width() / aspect);
            r.bottom = r.top + height;
            if (r.bottom > H) {
                r.top = H - height;
                r.bottom = H;
            }
        }
        // The ratio cannot be kept inside the picture: this step is refused.
        if (r.left < 0 || r.top < 0) return start;
    }
    return r;
}

int16_t CursorForCropHit(int32_t code) {
    switch (code) {
        case kHitLeft | kHitTop:
        case kHitRight | kHitBottom: return 1000;
        case kHitTop | kHitRight:
        case kHitLeft | kHitBottom: return 1001;
        case kHitLeft:
        case kHitRight: return 1002;
        case kHitTop:
        case kHitBottom: return 1003;
        case kHitMove: return 1004;
        default: return 0;
    }
}
