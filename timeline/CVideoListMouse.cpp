// Clicks, boundary drags and the cursor of the timeline.
#include <QMouseEvent>
#include <cstdlib>

#include "catalogs/CompressionSettingsEditing.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "timeline/CVideoList.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

namespace {
bool Shift(const SViewMouse& m) { return m.modifiers & Qt::ShiftModifier; }
bool Control(const SViewMouse& m) { return m.modifiers & Qt::ControlModifier; }
}  // namespace

STimeValue CVideoList::SnappedMouseTime(int32_t x) const {
    STimeValue t = XToTime(std::max(0, x), mPixelsPerSecond);
    mModel->SnapToFrame(t, 0);
    return t;
}

// The time the mouse stands for while tracking: the frame under it, or
// with control (and no shift) one frame per pixel moved from the click.
STimeValue CVideoList::TrackedTime(const SViewMouse& mouse) const {
    if (!mControlStepping) return SnappedMouseTime(mouse.where.x());
    STimeValue t = mClickTime;
    const int32_t dx = mouse.where.x() - mClickX;
    const int32_t steps = std::min(std::abs(dx), 100000);
    for (int32_t i = 0; i < steps; ++i) mModel->SnapToFrame(t, dx > 0 ? 1 : -1);
    return t;
}

void CVideoList::mouseDoubleClickEvent(QMouseEvent* event) {
    mDoubleClick = true;
    LView::mousePressEvent(event);
    mDoubleClick = false;
}

void CVideoList::ClickSelf(const SViewMouse& mouse) {
    if (!HasMovie()) return;
    mTracking = true;
    mDrag = Drag::kNone;
    setFocus(Qt::MouseFocusReason);
    mClickX = mouse.where.x();
    mControlStepping = Control(mouse) && !Shift(mouse);
    const int32_t y = mouse.where.y();
    if (y < kRulerBottom) {
        if (Shift(mouse) && !Control(mouse)) Select(mSelectedIndex, kSpan);
        mClickTime = SnappedMouseTime(mouse.where.x());
        SetPlayhead(mClickTime, Shift(mouse), true);
        mDrag = Drag::kRuler;
        return;
    }
    if (y >= 116) return;
    if (ClickExcludedRanges(mouse)) return;
    if (ClickSegments(mouse)) return;
    if (y < kVideoBottom) ClickVideoBoundaries(mouse);
}

bool CVideoList::ClickExcludedRanges(const SViewMouse& mouse) {
    const int32_t x = mouse.where.x();
    bool hit = false;
    const int32_t count = mModel->ExcludedRangeCount();
    for (int32_t i = 1; i <= count; ++i) {
        const TimeRange* r = mModel->GetExcludedRange(i);
        if (r == nullptr) continue;
        const int32_t x0 = TimeToX(r->start, mPixelsPerSecond);
        const int32_t x1 = TimeToX(r->end, mPixelsPerSecond);
        if (x0 <= x && x <= x1) {
            mModel->Stop();
            Select(i, kRange);
            hit = true;
        }
        const bool nearStart = std::abs(x - x0) <= kBoundaryGrab;
        const bool nearEnd = std::abs(x - x1) <= kBoundaryGrab;
        if (nearStart || nearEnd) {
            mModel->Stop();
            hit = true;
            if (mDrag == Drag::kNone) StartRangeBoundaryDrag(i, std::abs(x - x1) < std::abs(x - x0));
        }
    }
    return hit;
}

bool CVideoList::ClickSegments(const SViewMouse& mouse) {
    const QPoint where = mouse.where;
    for (int32_t kind : {int32_t(kVideo), int32_t(kAudio)}) {
        const int32_t top = kind == kVideo ? kVideoTop : kAudioTop;
        const int32_t bottom = kind == kVideo ? kVideoBottom : kAudioBottom;
        if (where.y() < top + kBoxInset || where.y() > bottom) continue;
        const CDescriptionList& list = kind == kVideo ? mModel->VideoSegments() : mModel->AudioSegments();
        for (int32_t i = 1; i <= list.Count(); ++i) {
            STimeValue s, e;
            GetDescriptionTime(list.Get(i), s, e);
            const int32_t x0 = TimeToX(s, mPixelsPerSecond);
            const int32_t x1 = TimeToX(e, mPixelsPerSecond);
            if (where.x() < x0 || where.x() > x1) continue;
            Select(i, kind);
            if (mDoubleClick) EditSegment(i, kind);
            return true;
        }
    }
    return false;
}

void CVideoList::EditSegment(int32_t index, int32_t kind) {
    Handle* segment = kind == kVideo ? mModel->GetVideoSegment(index) : mModel->GetAudioSegment(index);
    if (segment == nullptr) return;
    mTracking = false;
    const bool changed = kind == kVideo ? EditVideoSettings(*segment) : EditAudioSettings(*segment);
    if (!changed) return;
    if (kind == kVideo) mModel->VideoSegmentChanged();
    else mModel->AudioSegmentChanged();
}

bool CVideoList::ClickVideoBoundaries(const SViewMouse& mouse) {
    const int32_t x = mouse.where.x();
    const int32_t count = mModel->VideoSegmentCount();
    for (int32_t i = 1; i <= count; ++i) {
        STimeValue s, e;
        GetDescriptionTime(mModel->GetVideoSegment(i), s, e);
        if (std::abs(TimeToX(e, mPixelsPerSecond) - x) <= kBoundaryGrab) {
            mModel->Stop();
            if (StartSegmentBoundaryDrag(i, false)) return true;
        }
        if (std::abs(TimeToX(s, mPixelsPerSecond) - x) <= kBoundaryGrab) {
            mModel->Stop();
            if (StartSegmentBoundaryDrag(i, true)) return true;
        }
    }
    return false;
}

bool CVideoList::StartSegmentBoundaryDrag(int32_t segmentIndex, bool dragStart) {
    if (!mModel->BeginSegmentBoundaryDrag(segmentIndex, !dragStart, mBoundary)) return false;
    StartBoundaryDrag(Drag::kSegmentBoundary);
    return true;
}

bool CVideoList::StartRangeBoundaryDrag(int32_t rangeIndex, bool dragEnd) {
    if (!mModel->BeginExcludedEdgeDrag(rangeIndex, dragEnd, mBoundary)) return false;
    StartBoundaryDrag(Drag::kRangeBoundary);
    return true;
}

// Both sides keep at least 16 pixels of time.
void CVideoList::StartBoundaryDrag(Drag drag) {
    const int32_t margin = ConvertTimeScale(kMinSpanPixels, mPixelsPerSecond, 600);
    mLimitLow = STimeValue{mBoundary.low.ValueIn(600) + margin, 600};
    mLimitHigh = STimeValue{mBoundary.high.ValueIn(600) - margin, 600};
    mClickTime = mBoundary.at;
    mTimeBeforeDrag = mModel->GetCurrentTime();
    mDrag = drag;
}

void CVideoList::TrackMouseSelf(const SViewMouse& mouse) {
    if (!HasMovie() || mDrag == Drag::kNone) return;
    STimeValue t = TrackedTime(mouse);
    if (mDrag == Drag::kRuler) {
        SetPlayhead(t, Shift(mouse), true);
        ScrollTowards(TimeToX(mPlayhead, mPixelsPerSecond));
        return;
    }
    if (mLimitHigh < mLimitLow) return;  // no room to move
    if (t < mLimitLow) t = mLimitLow;
    if (t > mLimitHigh) t = mLimitHigh;
    if (t == mBoundary.at) return;
    TrackBoundary(t);
    ScrollTowards(TimeToX(t, mPixelsPerSecond));
    mModel->SetCurrentTime(t);
}

void CVideoList::TrackBoundary(const STimeValue& t) {
    mModel->MoveBoundary(mBoundary, t);
    RefreshBelowRuler();
}

void CVideoList::ReleaseMouseSelf(const SViewMouse&) {
    if (HasMovie()) {
        if (mDrag == Drag::kSegmentBoundary) {
            mModel->SetCurrentTime(mTimeBeforeDrag);
            mModel->VideoSegmentChanged();
        } else if (mDrag == Drag::kRangeBoundary) {
            mModel->SetCurrentTime(mTimeBeforeDrag);
            mModel->ExcludedRangesChanged();
        }
    }
    mDrag = Drag::kNone;
    mTracking = false;
}

void CVideoList::AdjustMouseSelf(const SViewMouse& mouse) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (HasMovie()) {
        const QPoint p = mouse.where;
        const int32_t headX = TimeToX(mPlayhead, mPixelsPerSecond);
        if (p.y() < kRulerBottom) {
            if (QRect(headX - 5, 0, 11, 11 + 30).contains(p)) shape = Qt::SizeHorCursor;
        } else if (p.y() < kVideoTop + kBoxInset) {
            // Boundaries are grabbed above the boxes: a click on a box
            // selects it, so only there does the cursor offer a drag.
            STimeValue t = XToTime(std::max(0, p.x()), mPixelsPerSecond);
            mModel->SnapToBoundary(mModel->VideoSegments(), t, false, nullptr);
            if (STimeValue{0, 600} < t && t < Duration() && std::abs(TimeToX(t, mPixelsPerSecond) - p.x()) <= kBoundaryGrab)
                shape = Qt::SizeHorCursor;
        }
    }
    viewport()->setCursor(shape);
}
