#include "timeline/CVideoList.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

#include "framework/LException.h"
#include "framework/gui/DragFlavors.h"
#include "model/CTambleVideoDocModel.h"
#include "model/SChangeInfo.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

CVideoList::CVideoList(QWidget* parent) : LView(parent), CDelayedReceiver(this) {
    AcceptedFlavors().Append(kFlavorAudioCodec);
    AcceptedFlavors().Append(kFlavorVideoCodec);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    SetImageSize(0, kAudioBottom, false);
    StartRepeatTask();
}

// Room for the ruler, both rows and the scroll bar that appears once the
// movie is wider than the view.
QSize CVideoList::minimumSizeHint() const {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(120, kAudioBottom + 1 + 2 * frameWidth() + extent);
}

QSize CVideoList::sizeHint() const { return QSize(640, minimumSizeHint().height()); }

CVideoList::~CVideoList() {
    StopRepeatTask();
    DetachFromAll();
}

void CVideoList::SetModel(CSubject* model) {
    auto* videoModel = dynamic_cast<CTambleVideoDocModel*>(model);
    if (videoModel == nullptr) throw LException(err_NilPointer, "nil pointer");
    mModel = videoModel;
    Observe(model);
    mMovie = mModel->GetMovie();
    mZoomChosen = false;
    FitZoom();
    SyncSettingsControls();
}

// The largest zoom (from 4096 pixels a second down to 2) at which the whole
// movie fits the visible width.
void CVideoList::FitZoom() {
    const int32_t visible = GetFrameSize().width();
    const STimeValue duration = Duration();
    mPixelsPerSecond = 4096;
    while (mPixelsPerSecond > 2 && TimeToX(duration, mPixelsPerSecond) > visible) mPixelsPerSecond /= 2;
    RecomputeImageSize();
    Refresh();
}

bool CVideoList::HasMovie() const { return mModel != nullptr && mMovie != nullptr; }

STimeValue CVideoList::Duration() const {
    return mModel != nullptr ? mModel->GetDuration() : STimeValue{0, 600};
}

int32_t CVideoList::DurationX() const { return TimeToX(Duration(), mPixelsPerSecond); }

void CVideoList::RecomputeImageSize() {
    const STimeValue d = Duration();
    const int64_t width = int64_t(mPixelsPerSecond) * d.ValueIn(600) / 600;
    SetImageSize(int32_t(std::min<int64_t>(width, INT32_MAX)), kAudioBottom, true);
}

void CVideoList::FrameResized() {
    // The window is often laid out after the model arrives: fit the movie
    // to the final width until the user picks a zoom.
    if (mModel != nullptr && !mZoomChosen) FitZoom();
    else Refresh();
}

// ---- Selection, playhead, deletion ----

void CVideoList::InvalidateSelection() {
    // Selections are narrow bands of the rows or the ruler; redrawing the
    // rows below the ruler and the span band is cheap enough.
    Refresh();
}

void CVideoList::RefreshBelowRuler() {
    RefreshRect(QRect(0, kRulerBottom, GetImageSize().width(), kAudioBottom - kRulerBottom + 1));
}

void CVideoList::Select(int32_t index, int32_t kind) {
    InvalidateSelection();
    if (mSelectedKind == kSpan && kind != kSpan) SetPlayhead(mPlayhead, false, false);
    mSelectedIndex = index;
    mSelectedKind = kind;
    InvalidateSelection();
    SyncSettingsControls();  // they follow the selected video segment
}

void CVideoList::SetPlayhead(const STimeValue& time, bool extend, bool moveMovie) {
    if (mModel == nullptr) return;
    STimeValue t = time;
    if (t < STimeValue{0, 600}) t = STimeValue{0, 600};
    if (t > Duration()) t = Duration();
    const bool hasAnchor = mAnchor.value != -1;
    if (t == mPlayhead && !extend && !hasAnchor) return;
    if (moveMovie) mModel->SetCurrentTime(t);
    if (extend && !hasAnchor) mAnchor = mPlayhead;
    if (!extend) mAnchor = STimeValue{-1, 600};
    const int32_t oldX = TimeToX(mPlayhead, mPixelsPerSecond);
    const int32_t newX = TimeToX(t, mPixelsPerSecond);
    RefreshRect(QRect(oldX - 5, 0, 12, kAudioBottom + 1));
    RefreshRect(QRect(newX - 5, 0, 12, kAudioBottom + 1));
    if (hasAnchor || extend) RefreshRect(QRect(0, 24, GetImageSize().width(), 7));
    mPlayhead = t;
}

void CVideoList::DeleteSelection() {
    if (mModel != nullptr) {
        auto settle = [this](int32_t count) {
            if (mSelectedIndex > count) mSelectedIndex = count;
        };
        switch (mSelectedKind) {
            case kVideo:
                mModel->RemoveVideoSegment(mSelectedIndex);
                settle(mModel->VideoSegmentCount());
                break;
            case kAudio:
                mModel->RemoveAudioSegment(mSelectedIndex);
                settle(mModel->AudioSegmentCount());
                break;
            case kRange:
                mModel->RemoveExcludedRange(mSelectedIndex);
                settle(mModel->ExcludedRangeCount());
                mModel->ExcludedRangesChanged();
                break;
            case kSpan:
                if (mAnchor.value != -1) {
                    const TimeRange span(mPlayhead, mAnchor);
                    mAnchor = STimeValue{-1, 600};
                    if (span.start != span.end) {
                        mModel->AddExcludedRange(span);
                        mModel->ExcludedRangesChanged();
                    }
                    Refresh();
                }
                break;
            default:
                break;
        }
        // Nothing shows as selected afterwards; the index keeps its place.
        mSelectedKind = -1;
    }
    RefreshBelowRuler();
}

// ---- Zoom ----

void CVideoList::ZoomIn() {
    if (!HasMovie()) return;
    mZoomChosen = true;
    mPixelsPerSecond = ZoomedIn(mPixelsPerSecond);
    RecomputeImageSize();
    Refresh();
    ScrollToShow(TimeToX(mPlayhead, mPixelsPerSecond), true);
}

void CVideoList::ZoomOut() {
    if (!HasMovie()) return;
    mZoomChosen = true;
    if (DurationX() > GetFrameSize().width()) mPixelsPerSecond = ZoomedOut(mPixelsPerSecond);
    RecomputeImageSize();
    Refresh();
    ScrollToShow(TimeToX(mPlayhead, mPixelsPerSecond), true);
}

void CVideoList::ScrollToShow(int32_t x, bool centre) {
    const QRect frame = CalcLocalFrameRect();
    if (x >= frame.left() && x < frame.right()) return;
    const int32_t left = centre ? x - frame.width() / 2 : x;
    ScrollImageTo(left, 0, true);
}

// Scrolls a tenth of the way to centring x while x is outside the frame.
void CVideoList::ScrollTowards(int32_t x) {
    const QRect frame = CalcLocalFrameRect();
    if (x >= frame.left() && x < frame.right()) return;
    const int32_t distance = x - (frame.left() + frame.width() / 2);
    int32_t step = distance / 10;
    if (step == 0) step = distance > 0 ? 1 : -1;
    ScrollImageBy(step, 0, true);
}

// ---- Model changes, messages, keys, periodic task ----

void CVideoList::Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel) return;
    if (changeCode == kChangeRefreshFromSource) {
        if (mModel != nullptr) mMovie = mModel->GetMovie();
        RecomputeImageSize();
        Refresh();
        SyncSettingsControls();
    } else if (changeCode >= kChangeSegmentAdded && changeCode <= kChangeAudioSegmentChanged) {
        RefreshBelowRuler();
        SyncSettingsControls();
    } else if (changeCode == kChangeMovieReplaced) {
        mMovie = static_cast<Movie*>(arg1);
        RecomputeImageSize();
        Refresh();
    } else if (changeCode == kChangeExcludedRanges) {
        // Not announced as a redraw by the model's own codes, but the
        // spans are drawn here: show them at once.
        RefreshBelowRuler();
    }
}

void CVideoList::OnMessage(MessageT message, void* parameter) {
    const int32_t value = parameter != nullptr ? *static_cast<int32_t*>(parameter) : 0;
    if (message == MessageT(FourCC("DEPT"))) {
        SetSegmentDepthFromPopup(value);
    } else if (message == MessageT(FourCC("QUAL"))) {
        SetSegmentQualityFromSlider(value);
    } else if (message == MessageT(FourCC("ZMin"))) {
        ZoomIn();
    } else if (message == MessageT(FourCC("ZMot"))) {
        ZoomOut();
    }
}

void CVideoList::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Clear || key == Qt::Key_Escape) {
        DeleteSelection();
        event->accept();
        return;
    }
    LView::keyPressEvent(event);
}

void CVideoList::focusInEvent(QFocusEvent* event) {
    LView::focusInEvent(event);
    RefreshBelowRuler();
}

void CVideoList::focusOutEvent(QFocusEvent* event) {
    LView::focusOutEvent(event);
    RefreshBelowRuler();
}

void CVideoList::SpendTime(const EventRecord&) {
    if (!HasMovie() || !IsActive()) return;
    const STimeValue now = mModel->GetCurrentTime();
    if (mModel->IsPlaying()) {
        ScrollToShow(TimeToX(now, mPixelsPerSecond), true);
        if (now >= Duration()) mModel->Stop();
    }
    if (!mTracking && now != mPlayhead) {
        if (mAnchor.value == -1) SetPlayhead(now, false, false);
        ScrollToShow(TimeToX(mPlayhead, mPixelsPerSecond), true);
    }
}
