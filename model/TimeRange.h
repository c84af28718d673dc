// A span of time, both ends included, and the ordering used to sort lists
// of ranges (the model's excluded spans are a TArray<TimeRange*>).
#pragma once

#include "framework/LArray.h"
#include "model/TimeValue.h"

struct TimeRange {
    STimeValue start;
    STimeValue end;

    TimeRange() = default;
    // Ends given the wrong way round are swapped, so start <= end holds.
    TimeRange(const STimeValue& inStart, const STimeValue& inEnd);

    bool Contains(const STimeValue& t) const { return start <= t && t <= end; }
    // Same start and same end, each compared across scales.
    bool SameSpan(const TimeRange& other) const {
        return start == other.start && end == other.end;
    }
};

// Orders TimeRange* items by start time only; equality needs both ends
// equal. A null pointer sorts before any range.
class TimeRangeComparator : public LComparator {
public:
    int32_t Compare(const void* item1, const void* item2, uint32_t size1,
                    uint32_t size2) const override;
    bool IsEqualTo(const void* item1, const void* item2, uint32_t size1,
                   uint32_t size2) const override;
    LComparator* Clone() const override { return new TimeRangeComparator; }

    // The same on ranges themselves.
    static int32_t CompareRanges(const TimeRange* a, const TimeRange* b);
    static bool RangesEqual(const TimeRange* a, const TimeRange* b);
};
