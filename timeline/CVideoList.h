// The document window's timeline: a ruler, a row of video settings
// segments and a row of audio settings segments, the excluded spans over
// both rows and the playhead. Codec presets dropped on it become segments;
// boundaries are dragged, items selected and deleted, the movie scrubbed.
// Every edit goes through the model; the list redraws on its changes.
#pragma once

#include <QPoint>
#include <QPointer>
#include <cstdint>

#include "framework/LListener.h"
#include "framework/LPeriodical.h"
#include "framework/gui/CDelayedReceiver.h"
#include "framework/gui/LCommander.h"
#include "framework/gui/LView.h"
#include "model/BoundaryDrag.h"
#include "model/CObserver.h"
#include "model/TimeRange.h"
#include "model/TimeValue.h"

class CTambleVideoDocModel;
class CSubject;
class Movie;
class Handle;
class LControl;
class QPainter;

class CVideoList : public LView,
                   public CObserver,
                   public LListener,
                   public LPeriodical,
                   public LCommander,
                   public CDelayedReceiver {
    Q_OBJECT

public:
    enum SelectionKind : int32_t { kNone = 0, kVideo = 1, kAudio = 2, kRange = 3, kSpan = 4 };

    explicit CVideoList(QWidget* parent = nullptr);
    ~CVideoList() override;

    // The model must be a CTambleVideoDocModel; anything else throws 'nilP'.
    void SetModel(CSubject* model);
    CTambleVideoDocModel* GetModel() const { return mModel; }

    void Select(int32_t index, int32_t kind);
    void SetPlayhead(const STimeValue& t, bool extend, bool moveMovie);
    void DeleteSelection();
    // Whether Clear would remove something: a valid segment or range, or
    // a time span of some length.
    bool CanDeleteSelection() const;
    void ZoomIn();
    void ZoomOut();

    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    int32_t GetSelectedKind() const { return mSelectedKind; }
    int32_t GetPixelsPerSecond() const { return mPixelsPerSecond; }
    const STimeValue& GetPlayhead() const { return mPlayhead; }
    const STimeValue& GetAnchor() const { return mAnchor; }
    int32_t GetDropIndicator() const { return mDropIndicator; }
    int32_t GetDropMarkerX() const { return mDropMarkerX; }

    // The depth popup and the quality slider beside the list: their
    // messages come here, and they show and edit the selected video
    // segment's settings, or segment 1's when none is selected (disabled
    // while there is no video segment). Either may be null.
    void AttachSettingsControls(LControl* depth, LControl* quality);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    // Draws the whole visible frame into a painter (also used by paintEvent).
    void DrawInto(QPainter& painter, const QRect& imageArea);

    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    void OnMessage(MessageT message, void* parameter) override;
    void SpendTime(const EventRecord& event) override;
    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;
    bool TrackDragInside(QPoint imagePoint) override;

protected:
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;
    void DrawSelf() override;
    void ClickSelf(const SViewMouse& mouse) override;
    void TrackMouseSelf(const SViewMouse& mouse) override;
    void ReleaseMouseSelf(const SViewMouse& mouse) override;
    void AdjustMouseSelf(const SViewMouse& mouse) override;
    void FrameResized() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void LeaveDropArea() override;

private:
    // What a click is dragging.
    enum class Drag { kNone, kRuler, kSegmentBoundary, kRangeBoundary };

    bool HasMovie() const;
    int32_t DurationX() const;
    STimeValue Duration() const;
    void RecomputeImageSize();
    void FitZoom();
    void InvalidateSelection();
    void RefreshBelowRuler();
    void ScrollToShow(int32_t x, bool centre);
    void ScrollTowards(int32_t x);
    STimeValue SnappedMouseTime(int32_t x) const;
    STimeValue TrackedTime(const SViewMouse& mouse) const;
    void EditSegment(int32_t index, int32_t kind);
    void SyncSettingsControls();
    int32_t SettingsSegmentIndex() const;
    void SetSegmentDepthFromPopup(int32_t value);
    void SetSegmentQualityFromSlider(int32_t value);

    // Drawing pieces.
    void DrawRuler(QPainter& p, const QRect& area);
    void DrawRow(QPainter& p, const QRect& area, bool video);
    void DrawExcludedRanges(QPainter& p);
    void DrawPlayhead(QPainter& p);
    void DrawDropFeedback(QPainter& p);

    // Clicks below the ruler.
    bool ClickExcludedRanges(const SViewMouse& mouse);
    bool ClickSegments(const SViewMouse& mouse);
    bool ClickVideoBoundaries(const SViewMouse& mouse);
    bool StartSegmentBoundaryDrag(int32_t segmentIndex, bool dragStart);
    bool StartRangeBoundaryDrag(int32_t rangeIndex, bool dragEnd);
    void StartBoundaryDrag(Drag drag);
    void TrackBoundary(const STimeValue& t);
    void FinishDrag();

    int32_t FeedbackAt(OSType flavor, QPoint where, int32_t* markerX, int32_t* ringIndex) const;
    bool DropVideo(Handle& settings, QPoint where);
    bool DropAudio(Handle& settings, QPoint where);

    CTambleVideoDocModel* mModel = nullptr;
    int32_t mSelectedIndex = -1;
    int32_t mSelectedKind = kNone;
    int32_t mPixelsPerSecond = 8;
    STimeValue mPlayhead{0, 600};
    STimeValue mAnchor{-1, 600};
    Movie* mMovie = nullptr;
    bool mTracking = false;
    int32_t mDropIndicator = -1;
    int32_t mDropMarkerX = 0;
    int32_t mDropRingIndex = 0;

    // The click being tracked.
    Drag mDrag = Drag::kNone;
    bool mDoubleClick = false;
    bool mControlStepping = false;
    int32_t mClickX = 0;
    STimeValue mClickTime{0, 600};
    STimeValue mTimeBeforeDrag{0, 600};
    SBoundaryDrag mBoundary;  // what a boundary drag moves
    STimeValue mLimitLow{0, 600};
    STimeValue mLimitHigh{0, 600};
    bool mZoomChosen = false;  // the zoom buttons were used since SetModel

    // The settings controls (not owned; they live in the same window).
    QPointer<QWidget> mDepthControl;
    QPointer<QWidget> mQualityControl;
};
