// Drawing of the preview pane: the pictures, dimming, the frame around
// them, the divider, the crop frame with its handles and the watermark.
#include <QPainter>

#include "appearance/AppearanceTables.h"
#include "appearance/CAppearance.h"
#include "appearance/StDrawingContext.h"
#include "model/CTambleVideoDocModel.h"
#include "preview/CMediaPreview.h"

namespace {
constexpr int16_t kFrameThemeBrush = 25;

Rect ToRect(const QRect& r) { return MakeRect(r.left(), r.top(), r.width(), r.height()); }

// The picture ids of the crop handles.
constexpr int16_t kHandleTopLeft = 2031;
constexpr int16_t kHandleTopRight = 2032;
constexpr int16_t kHandleBottomRight = 2033;
constexpr int16_t kHandleBottomLeft = 2034;
constexpr int16_t kHandleTop = 2035;
constexpr int16_t kHandleBottom = 2036;
constexpr int16_t kHandleLeft = 2037;
constexpr int16_t kHandleRight = 2038;
}  // namespace

void CMediaPreview::DrawSelf() {
    StDrawingContext context(this);
    CAppearance& appearance = CAppearance::Get();
    const QRect frame = CalcLocalFrameRect();
    const QRegion clip = GetUpdateRegion().isEmpty() ? QRegion(frame) : GetUpdateRegion();
    if (mModel == nullptr) {
        appearance.FillRegionThemeBrush(QRegion(frame), kFrameThemeBrush);
        return;
    }
    const QRect imageRect = GetImageRect();
    if (!IsSplit()) {
        DrawBeforeImage(imageRect, clip, nullptr);
        DrawWatermark(ScaledCropRect(GetCrop()).translated(kPreviewBorder, kPreviewBorder), clip);
        if (!IsActive()) appearance.ShadeRegion(clip & imageRect);
        appearance.FillRegionThemeBrush(QRegion(frame) - imageRect, kFrameThemeBrush);
        if (IsActive() && ShowsCropHandles()) DrawCropFrame(context, clip);
    } else {
        const int32_t divider = GetDividerX();
        const QRect leftPart(QPoint(frame.left(), frame.top()), QPoint(divider - 3, frame.bottom()));
        const QRect rightPart(QPoint(divider, frame.top()), frame.bottomRight());
        const QRect afterRect = imageRect.translated(divider - 2 - frame.left(), 0);
        const QRect scaledCrop = ScaledCropRect(GetCrop());
        DrawBeforeImage(imageRect, clip & leftPart, &scaledCrop);
        DrawAfterImage(afterRect, clip & rightPart, &scaledCrop);
        const QRegion shown = QRegion(imageRect & leftPart) + QRegion(afterRect & rightPart);
        if (!IsActive()) appearance.ShadeRegion(clip & shown);
        appearance.FillRegionThemeBrush(QRegion(frame) - shown, kFrameThemeBrush);
        if (IsActive()) DrawDivider(context);
    }
    if (mDrag == Drag::Crop) DrawDragOutline(context);
}

void CMediaPreview::DrawDivider(StDrawingContext& context) {
    const QRect frame = CalcLocalFrameRect();
    const int32_t middle = GetDividerMiddle();
    CAppearance& appearance = CAppearance::Get();
    context.SetPenColor(kColorWhite);
    appearance.DrawLine(middle - 1, frame.top(), 0, frame.height() - 1);
    context.SetPenColor(kColorBlue);
    appearance.DrawLine(middle, frame.top(), 0, frame.height() - 1);
    if (mDrag != Drag::Divider) return;
    // Where the dragged divider would go: an inverted line.
    QPainter* p = context.GetDeviceContext();
    if (p == nullptr) return;
    p->save();
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(QPen(Qt::white, 1));
    p->drawLine(context.MapPoint(mDividerLine - 1, frame.top()), context.MapPoint(mDividerLine - 1, frame.bottom()));
    p->restore();
}

void CMediaPreview::DrawCropFrame(StDrawingContext& context, const QRegion& clip) {
    CAppearance& appearance = CAppearance::Get();
    const double zoom = GetEffectiveZoom();
    auto map = [zoom](int32_t c) { return RoundToInt((c + 0.5 * zoom) * zoom) + kPreviewBorder; };
    const CropRect crop = GetCrop();
    const int l = map(crop.left), t = map(crop.top), r = map(crop.right), b = map(crop.bottom);
    const QRect cropView(l, t, r - l, b - t);
    const QRect whole(kPreviewBorder, kPreviewBorder, RoundToInt(DisplayWidth() * zoom),
                      RoundToInt(DisplayHeight() * zoom));
    const QRegion outside = QRegion(whole) - cropView;
    if (!outside.isEmpty()) appearance.ShadeRegion(outside & clip);

    appearance.FrameRectColor(ToRect(cropView.adjusted(-2, -2, 2, 2)), kColorWhite);
    const bool free = mModel->GetAspectRatio() == 0.0f;
    const int midX = (l + r) / 2, midY = (t + b) / 2;
    struct Handle {
        int16_t picture;
        QPoint at;
        bool right, bottom, corner;
    };
    const Handle handles[] = {
        {kHandleTopLeft, {l, t}, false, false, true},     {kHandleTopRight, {r, t}, true, false, true},
        {kHandleBottomRight, {r, b}, true, true, true},   {kHandleBottomLeft, {l, b}, false, true, true},
        {kHandleTop, {midX, t}, false, false, false},     {kHandleBottom, {midX, b}, false, true, false},
        {kHandleLeft, {l, midY}, false, false, false},    {kHandleRight, {r, midY}, true, false, false},
    };
    for (const Handle& h : handles) {
        if (h.corner && !free) continue;
        appearance.DrawPictureResource(h.picture, ToRect(HandleSquare(h.at, h.right, h.bottom)), true);
    }
    appearance.FrameRectColor(ToRect(cropView.adjusted(-1, -1, 1, 1)), kColorBlue);
    (void)context;
}

void CMediaPreview::DrawDragOutline(StDrawingContext& context) {
    QPainter* p = context.GetDeviceContext();
    if (p == nullptr) return;
    const QRect outline =
        ScaledCropRect(mDragCrop).translated(kPreviewBorder, kPreviewBorder).adjusted(-2, -2, 2, 2);
    p->save();
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p->setPen(Qt::NoPen);
    const QRect device = context.MapRect(outline);
    // A 2 x 2 pen just inside the rectangle.
    QRegion ring = QRegion(device) - QRegion(device.adjusted(2, 2, -2, -2));
    for (const QRect& r : ring) p->fillRect(r, Qt::white);
    p->restore();
}

void CMediaPreview::DrawWatermark(const QRect& cropArea, const QRegion& clip) {
    if (mModel == nullptr || mModel->IsPlaying()) return;
    StDrawingContext* context = StDrawingContext::GetCurrent();
    if (context == nullptr) return;
    const CropRect crop = GetCrop();
    mWatermark.Draw(*context, *mModel, cropArea, clip, GetEffectiveZoom(), QSize(crop.Width(), crop.Height()));
}
