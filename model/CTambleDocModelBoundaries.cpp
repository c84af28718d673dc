// Dragging boundaries on the timeline: between two video segments, or at
// an edge of an excluded range, where the segments touching it follow.
#include "model/CTambleDocModel.h"
#include "model/DescriptionTime.h"

namespace {

void SetEdge(Handle* segment, bool start, const STimeValue& t) {
    if (segment == nullptr) return;
    STimeValue s, e;
    GetDescriptionTime(segment, s, e);
    SetDescriptionTime(segment, start ? t : s, start ? e : t);
}

}  // namespace

bool CTambleDocModel::BeginSegmentBoundaryDrag(int32_t index, bool end, SBoundaryDrag& drag) const {
    Handle* segment = mVideoSegments.Get(index);
    if (segment == nullptr) return false;
    STimeValue s, e;
    GetDescriptionTime(segment, s, e);
    Handle* other = end ? FindDescriptionByEdge(mVideoSegments, &e, nullptr)
                        : FindDescriptionByEdge(mVideoSegments, nullptr, &s);
    if (other == nullptr || other == segment) return false;
    STimeValue os, oe;
    GetDescriptionTime(other, os, oe);
    drag = SBoundaryDrag{};
    drag.segment = index;
    drag.otherSegment = mVideoSegments.IndexOf(other);
    drag.end = end;
    drag.at = end ? e : s;
    drag.low = end ? s : os;
    drag.high = end ? oe : e;
    return true;
}

bool CTambleDocModel::BeginExcludedEdgeDrag(int32_t index, bool end, SBoundaryDrag& drag) const {
    const TimeRange* r = GetExcludedRange(index);
    if (r == nullptr) return false;
    // The segments on the far side of the dragged edge start (or end) there.
    Handle* video = end ? FindDescriptionByEdge(mVideoSegments, &r->end, nullptr)
                        : FindDescriptionByEdge(mVideoSegments, nullptr, &r->start);
    Handle* audio = end ? FindDescriptionByEdge(mAudioSegments, &r->end, nullptr)
                        : FindDescriptionByEdge(mAudioSegments, nullptr, &r->start);
    if (video == nullptr && audio == nullptr) return false;
    STimeValue vs{0, 600}, ve = mDuration;
    if (video != nullptr) GetDescriptionTime(video, vs, ve);
    drag = SBoundaryDrag{};
    drag.range = index;
    drag.segment = video != nullptr ? mVideoSegments.IndexOf(video) : 0;
    drag.audioSegment = audio != nullptr ? mAudioSegments.IndexOf(audio) : 0;
    drag.end = end;
    drag.at = end ? r->end : r->start;
    drag.low = end ? r->start : vs;
    drag.high = end ? ve : r->end;
    return true;
}

void CTambleDocModel::MoveBoundary(SBoundaryDrag& drag, const STimeValue& t) {
    if (drag.range == 0) {
        SetEdge(mVideoSegments.Get(drag.segment), !drag.end, t);
        SetEdge(mVideoSegments.Get(drag.otherSegment), drag.end, t);
    } else if (TimeRange* r = mExcludedRanges.ValidIndex(drag.range) ? mExcludedRanges[drag.range] : nullptr) {
        (drag.end ? r->end : r->start) = t;
        SetEdge(mVideoSegments.Get(drag.segment), drag.end, t);
        SetEdge(mAudioSegments.Get(drag.audioSegment), drag.end, t);
    }
    drag.at = t;
}
