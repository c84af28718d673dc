#include "model/TimeRange.h"

#include <cstring>

TimeRange::TimeRange(const STimeValue& inStart, const STimeValue& inEnd)
    : start(inStart), end(inEnd) {
    if (end < start) std::swap(start, end);
}

int32_t TimeRangeComparator::CompareRanges(const TimeRange* a, const TimeRange* b) {
    if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
    if (a->start < b->start) return -1;
    if (b->start < a->start) return 1;
    return 0;
}

bool TimeRangeComparator::RangesEqual(const TimeRange* a, const TimeRange* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->SameSpan(*b);
}

namespace {
const TimeRange* ReadRange(const void* item) {
    const TimeRange* range;
    std::memcpy(&range, item, sizeof range);
    return range;
}
}  // namespace

int32_t TimeRangeComparator::Compare(const void* item1, const void* item2, uint32_t,
                                     uint32_t) const {
    return CompareRanges(ReadRange(item1), ReadRange(item2));
}

bool TimeRangeComparator::IsEqualTo(const void* item1, const void* item2, uint32_t,
                                    uint32_t) const {
    return RangesEqual(ReadRange(item1), ReadRange(item2));
}
