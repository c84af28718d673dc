#include "model/SegmentLookup.h"

#include "model/DescriptionTime.h"

Handle* FindDescriptionAt(const CDescriptionList& list, const ExactTime& t, SegmentRule rule) {
    Handle* segment = nullptr;
    for (int32_t i = 1; i <= list.Count(); ++i) {
        segment = list.Get(i);
        STimeValue start, end;
        GetDescriptionTime(segment, start, end);
        if (ExactTime(start) <= t && (rule == SegmentRule::kHolding ? t <= ExactTime(end) : t < ExactTime(end)))
            return segment;
    }
    return rule == SegmentRule::kCompressing ? segment : nullptr;
}
