#include "model/FrameTiming.h"

ExactTime FrameDurationForRate(uint32_t frameRate1616) {
    const int16_t tenths = int16_t((int64_t(frameRate1616) * 10 + 0x8000) >> 16);
    return tenths > 0 ? ExactTime(10, tenths) : ExactTime(0, 600);
}

ExactTime OutputFrameDuration(const ExactTime& t, const ExactTime& ownDuration, const ExactTime& nextSourceFrame,
                              const ExactTime& segmentEnd, const ExactTime& nextCut) {
    ExactTime duration = ownDuration.value > 0 ? ownDuration : nextSourceFrame - t;
    for (const ExactTime& limit : {segmentEnd, nextCut})
        if (limit > t && limit - t < duration) duration = limit - t;
    return duration;
}

const TimeRange* ExcludedRangeAt(const TArray<TimeRange*>* ranges, const ExactTime& t) {
    if (!ranges) return nullptr;
    TArrayIterator<TimeRange*> it(*ranges);
    TimeRange* r = nullptr;
    while (it.Next(r))
        if (r && ExactTime(r->start) <= t && t <= ExactTime(r->end)) return r;
    return nullptr;
}

ExactTime NextExcludedStart(const TArray<TimeRange*>* ranges, const ExactTime& t, const ExactTime& none) {
    ExactTime next = none;
    if (!ranges) return next;
    TArrayIterator<TimeRange*> it(*ranges);
    TimeRange* r = nullptr;
    while (it.Next(r))
        if (r && ExactTime(r->start) > t && ExactTime(r->start) < next) next = r->start;
    return next;
}

ExactTime OutputTimeOf(const TArray<TimeRange*>* ranges, const ExactTime& t) {
    ExactTime out = t;
    if (!ranges) return out;
    TArrayIterator<TimeRange*> it(*ranges);
    TimeRange* r = nullptr;
    while (it.Next(r)) {
        if (!r || ExactTime(r->start) >= t) continue;
        const ExactTime end = Earlier(r->end, t);
        if (end > ExactTime(r->start)) out = out - (end - ExactTime(r->start));
    }
    return out;
}
