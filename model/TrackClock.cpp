#include "model/TrackClock.h"

#include <algorithm>

void TrackClock::Add(const ExactTime& duration, int64_t& start, int64_t& length) {
    start = std::max(mElapsed.RoundedIn(mUnits), mWrittenUntil);
    mElapsed = mElapsed + duration;
    mWrittenUntil = std::max(mElapsed.RoundedIn(mUnits), start + 1);
    length = mWrittenUntil - start;
}
