#include "model/ExcludedSpans.h"

template <typename F>
void ExcludedSpans::ForEach(F f) const {
    if (!mRanges) return;
    TArrayIterator<TimeRange*> it(*mRanges);
    TimeRange* r = nullptr;
    while (it.Next(r))
        if (r && !f(*r)) return;
}

TimeRange* ExcludedSpans::At(const ExactTime& t) const {
    TimeRange* found = nullptr;
    ForEach([&](TimeRange& r) {
        if (ExactTime(r.start) <= t && t <= ExactTime(r.end)) found = &r;
        return found == nullptr;
    });
    return found;
}

ExactTime ExcludedSpans::PlayFrom(const ExactTime& t) const {
    ExactTime from = t;
    for (bool moved = true; moved;) {
        moved = false;
        ForEach([&](const TimeRange& r) {
            if (ExactTime(r.start) <= from && from < ExactTime(r.end)) {
                from = r.end;
                moved = true;
            }
            return !moved;
        });
    }
    return from;
}

ExactTime ExcludedSpans::NextStart(const ExactTime& t, const ExactTime& none) const {
    ExactTime next = none;
    ForEach([&](const TimeRange& r) {
        if (ExactTime(r.start) > t && ExactTime(r.start) < next) next = r.start;
        return true;
    });
    return next;
}

bool ExcludedSpans::NextBoundary(STimeValue& t, const STimeValue& end) const {
    STimeValue candidate = end;
    bool last = true;
    ForEach([&](const TimeRange& r) {
        if (r.start < candidate && t < r.start) {
            candidate = r.start;
            if (r.end < end) last = false;
        }
        if (r.end < candidate && t < r.end) {
            candidate = r.end;
            if (!(end > r.end)) last = true;
        }
        return true;
    });
    t = candidate;
    return last;
}

ExactTime ExcludedSpans::OutputTimeOf(const ExactTime& t) const {
    ExactTime out = t;
    ForEach([&](const TimeRange& r) {
        if (ExactTime(r.start) >= t) return true;
        const ExactTime end = Earlier(r.end, t);
        if (end > ExactTime(r.start)) out = out - (end - ExactTime(r.start));
        return true;
    });
    return out;
}
