// The document model's timeline: placing settings segments, snapping to
// their boundaries, removing them, and cutting excluded spans out of them.
// Distances and split points are worked out in 600ths of a second, the
// timeline's own scale.
#include <cstdlib>

#include "model/CTambleDocModel.h"
#include "model/DescriptionTime.h"
#include "model/SaturatingMath.h"
#include "platform/media/AtomContainer.h"

namespace {

constexpr int32_t kTimelineScale = 600;
constexpr int64_t kNoBoundaryNear = 0x7FFFF;

int64_t In600(const STimeValue& t) { return t.ValueIn(kTimelineScale); }
STimeValue At600(int64_t value) { return STimeValue{Saturate32(value), kTimelineScale}; }

struct Span {
    STimeValue start, end;
};

Span SpanOf(const Handle* description) {
    Span span;
    GetDescriptionTime(description, span.start, span.end);
    return span;
}

}  // namespace

Handle* CTambleDocModel::FindDescriptionByEdge(const CDescriptionList& list, const STimeValue* start,
                                               const STimeValue* end) const {
    for (int32_t i = 1; i <= list.Count(); ++i) {
        const Span span = SpanOf(list.Get(i));
        if ((start && span.start == *start) || (end && span.end == *end)) return list.Get(i);
    }
    return nullptr;
}

void CTambleDocModel::SnapToBoundary(const CDescriptionList& list, STimeValue& t, bool useEdgeZone,
                                     const STimeValue* edgeZone) const {
    const int64_t zone = edgeZone ? In600(*edgeZone) : 0;
    const int64_t t600 = In600(t);
    int64_t bestDistance = kNoBoundaryNear;
    STimeValue best{0, kTimelineScale};

    for (int32_t i = 1; i <= list.Count(); ++i) {
        const Span span = SpanOf(list.Get(i));
        if (!(span.start <= t && t <= span.end)) continue;
        const int64_t s = In600(span.start), e = In600(span.end);
        // Near an end the segment's boundary wins; in the middle zone its
        // midpoint does.
        const int64_t half = (e - s) / 2;
        int64_t zoneStart = s + half, zoneEnd = e - half;
        if (useEdgeZone && s + zone <= e - zone) {
            zoneStart = s + zone;
            zoneEnd = e - zone;
        }
        if (t600 <= zoneStart) {
            best = span.start;
            bestDistance = std::llabs(t600 - s);
        } else if (t600 >= zoneEnd) {
            best = span.end;
            bestDistance = std::llabs(t600 - e);
        } else {
            best = MidpointOf(span.start, span.end);
            bestDistance = std::llabs(t600 - In600(best));
        }
        break;
    }

    TArrayIterator<TimeRange*> iterator(mExcludedRanges);
    TimeRange* range = nullptr;
    while (iterator.Next(range)) {
        if (range == nullptr) continue;
        for (const STimeValue& boundary : {range->start, range->end}) {
            const int64_t distance = std::llabs(t600 - In600(boundary));
            if (distance < bestDistance) {
                best = boundary;
                bestDistance = distance;
            }
        }
    }
    t = best;
}

int32_t CTambleDocModel::PlaceDescription(CDescriptionList& list, std::unique_ptr<Handle> description,
                                          const STimeValue& at, const STimeValue* maxLength,
                                          const STimeValue* edgeZone) {
    STimeValue t = at;
    SnapToBoundary(list, t, true, edgeZone);

    int32_t index = 1;
    int32_t side = 0;
    if (!(t < mDuration)) {
        index = list.Count() + 1;  // at or past the end: after the last one
    } else {
        for (int32_t i = 1; i <= list.Count(); ++i) {
            const Span span = SpanOf(list.Get(i));
            if (span.start == t) {
                side = -1;
                index = i;
                break;
            }
            if (span.end == t) {
                side = +1;
                index = i + 1;
                break;
            }
            if (t == MidpointOf(span.start, span.end)) {
                // Dropped on the middle: the new settings take this segment's place.
                SetDescriptionTime(description.get(), span.start, span.end);
                list.Dispose(i);
                list.Insert(i, std::move(description));
                return i;
            }
        }
    }
    FitDescription(list, description.get(), index, maxLength, side);
    return list.Insert(index, std::move(description));
}

void CTambleDocModel::FitDescription(CDescriptionList& list, Handle* description, int32_t index,
                                     const STimeValue* maxLength, int32_t side) {
    const int64_t limit = maxLength ? In600(*maxLength) : -1;
    const bool before = list.IsValidIndex(index);      // new item goes before this one
    const bool after = !before && list.IsValidIndex(index - 1);  // or after this one
    if (!before && !after) {
        SetDescriptionTime(description, STimeValue{0, mDuration.scale}, mDuration);
        return;
    }
    Handle* neighbour = list.Get(before ? index : index - 1);
    const Span span = SpanOf(neighbour);
    const int64_t s = In600(span.start), e = In600(span.end);
    int64_t split = (s + e) / 2;
    if (limit >= 0 && s + limit < split) {
        split = s + limit;
        if (side >= 0) split = e - limit;
    }
    if (before) {
        SetDescriptionTime(description, At600(s), At600(split));
        SetDescriptionTime(neighbour, At600(split), At600(e));
    } else {
        SetDescriptionTime(description, At600(split), At600(e));
        SetDescriptionTime(neighbour, At600(s), At600(split));
    }
}

void CTambleDocModel::RemoveDescription(CDescriptionList& list, int32_t index) {
    if (!list.IsValidIndex(index)) return;
    const Span gap = SpanOf(list.Get(index));
    list.Dispose(index);
    // In a list in time order the segment before the gap grows over it.
    for (int32_t i = 1; i <= list.Count(); ++i) {
        Handle* other = list.Get(i);
        const Span span = SpanOf(other);
        if (span.start == gap.end) {
            SetDescriptionTime(other, gap.start, span.end);
            return;
        }
        if (span.end == gap.start) {
            SetDescriptionTime(other, span.start, gap.end);
            return;
        }
    }
    if (!list.IsEmpty()) AddExcludedRange(TimeRange(gap.start, gap.end));
}

void CTambleDocModel::CutVideoSegments(const TimeRange& range) {
    int32_t i = 1;
    while (i <= mVideoSegments.Count()) {
        Handle* segment = mVideoSegments.Get(i);
        const Span span = SpanOf(segment);
        if (span.start >= range.start && span.end <= range.end) {  // inside: goes
            mVideoSegments.Dispose(i);
            continue;
        }
        if (span.start <= range.start && span.end >= range.end) {  // covers: split in two
            int32_t next = i + 1;
            // A tail that would start and end at the range's end is empty;
            // it is not made at all.
            if (span.end != range.end) {
                auto tail = std::make_unique<Handle>(segment ? *segment : Handle());
                SetDescriptionTime(tail.get(), range.end, span.end);
                mVideoSegments.Insert(i + 1, segment ? std::move(tail) : nullptr);
                ++next;
            }
            if (span.start == range.start) {
                mVideoSegments.Dispose(i);
                --next;
            } else {
                SetDescriptionTime(segment, span.start, range.start);
            }
            // The tail is not looked at again: with a range of no length it
            // would be split the same way for ever.
            i = next;
            continue;
        }
        if (span.start < range.start && span.end > range.start)
            SetDescriptionTime(segment, span.start, range.start);
        else if (span.start < range.end && span.end > range.end)
            SetDescriptionTime(segment, range.end, span.end);
        ++i;
    }
}

void CTambleDocModel::AddExcludedRange(const TimeRange& range) {
    CutVideoSegments(range);
    AppendExcludedRange(range);
    // Merge until no two ranges overlap or touch.
    bool merged = true;
    while (merged) {
        merged = false;
        for (int32_t a = 1; a <= mExcludedRanges.GetCount() && !merged; ++a) {
            TimeRange* first = mExcludedRanges[a];
            for (int32_t b = 1; b <= mExcludedRanges.GetCount(); ++b) {
                TimeRange* second = mExcludedRanges[b];
                if (a == b || first == nullptr || second == nullptr) continue;
                if (second->start <= first->end && first->start <= second->end) {
                    if (second->start < first->start) first->start = second->start;
                    if (first->end < second->end) first->end = second->end;
                    mExcludedRanges.RemoveItemAt(b);
                    delete second;
                    merged = true;
                    break;
                }
            }
        }
    }
}

void CTambleDocModel::AppendExcludedRange(const TimeRange& range) {
    auto copy = std::make_unique<TimeRange>(range);
    if (mExcludedRanges.Append(copy.get()) != 0) copy.release();
}

void CTambleDocModel::LayExcludedRanges(const std::vector<TimeRange>& ranges) {
    DeleteAllExcludedRanges();
    for (const TimeRange& range : ranges) AppendExcludedRange(range);
    Changed(kChangeExcludedRanges);
}

void CTambleDocModel::RemoveExcludedRange(int32_t index) {
    if (!mExcludedRanges.ValidIndex(index)) return;
    TimeRange* range = mExcludedRanges[index];
    mExcludedRanges.RemoveItemAt(index);
    const STimeValue a = range->start, b = range->end;
    delete range;

    int32_t afterGap = 0, beforeGap = 0;
    for (int32_t i = 1; i <= mVideoSegments.Count() && (afterGap == 0 || beforeGap == 0); ++i) {
        const Span span = SpanOf(mVideoSegments.Get(i));
        if (afterGap == 0 && span.start == b) afterGap = i;
        if (beforeGap == 0 && span.end == a) beforeGap = i;
    }
    if (afterGap == 0 && beforeGap == 0) return;

    // The first of the two found grows over the gap.
    const int32_t grower = (beforeGap != 0 && (afterGap == 0 || beforeGap < afterGap)) ? beforeGap : afterGap;
    Handle* growing = mVideoSegments.Get(grower);
    const Span grown = SpanOf(growing);
    if (grower == afterGap)
        SetDescriptionTime(growing, a, grown.end);
    else
        SetDescriptionTime(growing, grown.start, b);

    if (afterGap == 0 || beforeGap == 0 || afterGap == beforeGap) return;
    static const OSType kIgnoreTime[] = {kDescriptionTimeAtom, 0};
    Handle* before = mVideoSegments.Get(beforeGap);
    Handle* after = mVideoSegments.Get(afterGap);
    if (before == nullptr || after == nullptr || !DescriptionsEqual(kIgnoreTime, *before, *after))
        return;
    // Same settings on both sides: one segment spans both and the gap. The
    // one after the gap is stretched back over the one before, which goes.
    const Span first = SpanOf(before);
    const Span second = SpanOf(after);
    SetDescriptionTime(after, first.start, second.end);
    mVideoSegments.Dispose(beforeGap);
}
