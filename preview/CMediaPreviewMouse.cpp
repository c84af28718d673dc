// The preview pane and the mouse: cursor feedback, scrolling by hand,
// dragging the divider and editing the crop rectangle.
#include "appearance/CAppearance.h"
#include "appearance/QtAppearance.h"
#include "model/CTambleVideoDocModel.h"
#include "preview/CMediaPreview.h"

namespace {
constexpr int16_t kCursorHandHolding = 8;  // scrolling by hand
constexpr int16_t kCursorHandOpen = 9;     // split mode, away from the divider
constexpr int16_t kCursorDivider = 17;
constexpr int32_t kDividerEdgeGap = 10;
}  // namespace

void CMediaPreview::AdjustMouseSelf(const SViewMouse& mouse) {
    int16_t cursor = 0;
    if (mouse.modifiers & Qt::ControlModifier)
        cursor = kCursorHandHolding;
    else if (mModel != nullptr && IsSplit())
        cursor = std::abs(mouse.where.x() - GetDividerMiddle()) <= 1 ? kCursorDivider : kCursorHandOpen;
    else
        cursor = CursorForCropHit(HitTestCrop(mouse.where));
    QtAppearance::SetCursorTarget(viewport());
    CAppearance::Get().SetThemeCursor(cursor);
}

void CMediaPreview::ClickSelf(const SViewMouse& mouse) {
    mDrag = Drag::None;
    if (mModel == nullptr) return;
    if (mouse.modifiers & Qt::ControlModifier) {
        mDrag = Drag::HandScroll;
        mDragAnchor = mouse.whereFrame;
        return;
    }
    if (IsSplit()) {
        if (std::abs(mouse.where.x() - GetDividerMiddle()) <= 1) {
            mDrag = Drag::Divider;
            mDragAnchor = mouse.where;
            mDividerLine = GetDividerX();
            UpdatePort();
        } else {
            mDrag = Drag::HandScroll;
            mDragAnchor = mouse.whereFrame;
        }
        return;
    }
    const int32_t code = HitTestCrop(mouse.where);
    if (code == kHitNone) return;
    mDragCrop = GetCrop();
    mDragHitCode = code;
    mDragAnchor = mouse.where;
    mDrag = Drag::Crop;
    Refresh();
    UpdatePort();
}

void CMediaPreview::TrackMouseSelf(const SViewMouse& mouse) {
    switch (mDrag) {
        case Drag::None:
            return;
        case Drag::HandScroll: {
            const QPoint moved = mouse.whereFrame - mDragAnchor;
            if (moved.isNull()) return;
            mDragAnchor = mouse.whereFrame;
            ScrollImageBy(-moved.x(), -moved.y(), true);
            UpdatePort();
            return;
        }
        case Drag::Divider: {
            const QRect frame = CalcLocalFrameRect();
            const int32_t wanted = GetDividerX() + (mouse.where.x() - mDragAnchor.x());
            const int32_t line = std::clamp(wanted, frame.left() + kDividerEdgeGap,
                                            frame.left() + frame.width() - kDividerEdgeGap);
            if (line == mDividerLine) return;
            mDividerLine = line;
            Refresh();
            UpdatePort();
            return;
        }
        case Drag::Crop: {
            const double zoom = GetEffectiveZoom();
            if (zoom <= 0.0) return;
            const QPoint moved = mouse.where - mDragAnchor;
            const int32_t dx = RoundToInt(moved.x() / zoom);
            const int32_t dy = RoundToInt(moved.y() / zoom);
            if (dx == 0 && dy == 0) return;
            if (AutoScrollImage(mouse.where)) UpdatePort();
            mDragAnchor = mouse.where;
            mDragCrop = DragCropRect(mDragCrop, mDragHitCode, dx, dy, DisplayWidth(), DisplayHeight(),
                                     mModel->GetAspectRatio());
            Refresh();
            FieldDisplay(mDragCrop, true);
            UpdatePort();
            return;
        }
    }
}

void CMediaPreview::ReleaseMouseSelf(const SViewMouse& mouse) {
    const Drag drag = mDrag;
    mDrag = Drag::None;
    if (mModel == nullptr) return;
    if (drag == Drag::Divider) {
        const QRect frame = CalcLocalFrameRect();
        if (frame.width() > 0)
            mSplitPosition = int32_t(int64_t(mDividerLine - frame.left()) * 256 / frame.width());
        Refresh();
        UpdatePort();
    } else if (drag == Drag::Crop) {
        const CropRect old{mModel->GetCropLeft(), mModel->GetCropTop(), mModel->GetCropRight(),
                           mModel->GetCropBottom()};
        const QPoint border(kPreviewBorder, kPreviewBorder);
        RefreshRect(ScaledCropRect(old).translated(border).adjusted(-5, -5, 5, 5));
        if (!(mDragCrop == old))
            mModel->SetCrop(mDragCrop.left, mDragCrop.top, mDragCrop.right, mDragCrop.bottom);
        RefreshRect(ScaledCropRect(mDragCrop).translated(border).adjusted(-5, -5, 5, 5));
        // The outline may have scrolled with the view: draw it all again.
        Refresh();
        UpdatePort();
    }
    (void)mouse;
}
