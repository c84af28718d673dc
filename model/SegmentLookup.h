// Which settings segment of a list covers a time. On the timeline a
// segment holds both its ends, so a boundary belongs to the segments on
// both sides and the first in list order answers: that is what drops and
// edits look at. A playing or compressed movie leaves a segment at its
// end, so the frame on a boundary is shown and compressed with the next
// segment's settings.
#pragma once

#include "framework/Handle.h"
#include "model/CDescriptionList.h"
#include "model/ExactTime.h"

enum class SegmentRule {
    kHolding,      // start <= t <= end
    kPlaying,      // start <= t < end
    // As kPlaying; a time that no segment covers (the list stops short of
    // the movie, say) keeps the last segment, so every frame is compressed
    // with some settings rather than the pass ending early.
    kCompressing,
};

// The first segment in list order that covers t under the rule; null when
// none does (or, with kCompressing, when the list is empty).
Handle* FindDescriptionAt(const CDescriptionList& list, const ExactTime& t, SegmentRule rule = SegmentRule::kHolding);
