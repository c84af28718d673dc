#include "platform/media/image/PictureLayout.h"

#include <cstdint>

namespace {

// a * b / c rounded half up, for non-negative values.
int ScaleRounded(int a, int b, int c) { return int((int64_t(a) * b * 2 + c) / (int64_t(c) * 2)); }

}  // namespace

Rect FitPictureInBox(const Rect& picture, const Rect& box) {
    int width = picture.Width() > 0 ? picture.Width() : 0;
    int height = picture.Height() > 0 ? picture.Height() : 0;
    const int boxWidth = box.Width() > 0 ? box.Width() : 0;
    const int boxHeight = box.Height() > 0 ? box.Height() : 0;
    if (width > 0 && height > 0 && (width > boxWidth || height > boxHeight)) {
        // The smaller ratio decides: boxWidth / width against boxHeight / height.
        if (int64_t(boxWidth) * height <= int64_t(boxHeight) * width) {
            height = ScaleRounded(height, boxWidth, width);
            width = boxWidth;
        } else {
            width = ScaleRounded(width, boxHeight, height);
            height = boxHeight;
        }
    }
    const int left = box.left + (boxWidth - width + 1) / 2;
    const int top = box.top + (boxHeight - height + 1) / 2;
    return MakeRect(left, top, width, height);
}
