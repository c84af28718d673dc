#include "model/WatermarkPlacement.h"

#include <algorithm>
#include <cmath>

#include "model/CTambleDocModel.h"

Rect PlaceRectInFrame(const Rect& rect, const Rect& frame, int32_t flags) {
    int dx = 0, dy = 0;
    if (flags & kPlaceRight) {
        dx = frame.Width() - rect.Width();
        if (flags & kPlaceCentreHorizontally) dx /= 2;
    }
    if (flags & kPlaceBottom) {
        dy = frame.Height() - rect.Height();
        if (flags & kPlaceCentreVertically) dy /= 2;
    }
    return MakeRect(dx, dy, rect.Width(), rect.Height());
}

Rect PlaceWatermarkOverCrop(const CTambleDocModel& model, int naturalWidth, int naturalHeight, const Rect& area,
                            double zoom, int cropWidth, int cropHeight) {
    int width = int(std::lround(naturalWidth * zoom));
    int height = int(std::lround(naturalHeight * zoom));
    const int32_t outWidth = model.GetOutputWidth(), outHeight = model.GetOutputHeight();
    if (model.GetCustomSize() && outWidth > 0 && outHeight > 0) {
        width = std::clamp(int(std::lround(double(width) * cropWidth / outWidth)), 4, 500);
        height = std::clamp(int(std::lround(double(height) * cropHeight / outHeight)), 4, 500);
    }
    if (width <= 0 || height <= 0) return Rect{};
    const Rect placed = PlaceRectInFrame(MakeRect(0, 0, width, height), area, int32_t(model.GetWatermarkPlacement()));
    return MakeRect(area.left + placed.left, area.top + placed.top, width, height);
}
