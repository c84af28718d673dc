// The spans of the source that the output leaves out, and how playing,
// compressing and placing sound step over them. A view over the
// document's list of ranges (not owned, in list order); both ends of a
// range belong to it.
#pragma once

#include "framework/TArray.h"
#include "model/ExactTime.h"
#include "model/TimeRange.h"

class ExcludedSpans {
public:
    explicit ExcludedSpans(const TArray<TimeRange*>* ranges) : mRanges(ranges) {}

    // The first range in list order that holds t, or null.
    TimeRange* At(const ExactTime& t) const;
    // Where the sound goes on from t: t itself, or the end of the range it
    // is in, passing on through ranges that meet there, so that nothing
    // left out is heard even where two ranges were never merged.
    ExactTime PlayFrom(const ExactTime& t) const;
    // The start of the earliest range that begins after t; `none` when
    // there is none.
    ExactTime NextStart(const ExactTime& t, const ExactTime& none) const;
    // Moves t to the next place after it where the kept sound stops (a
    // range's start) or starts again (a range's end), or to `end`; true
    // when nothing is kept after it.
    bool NextBoundary(STimeValue& t, const STimeValue& end) const;
    // Where t falls in the output once the ranges before it are left out
    // (a time inside a range falls where the range was). The ranges do
    // not overlap (the model merges them).
    ExactTime OutputTimeOf(const ExactTime& t) const;

private:
    template <typename F>
    void ForEach(F f) const;

    const TArray<TimeRange*>* mRanges;
};
