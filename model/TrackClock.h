// Where output frames fall in a track counted in whole units (1/600 s for
// video): their times are kept as exact sums of the frames' durations and
// only rounded when a frame is written, so hours of odd durations never
// drift. Each frame starts where the last one ended and lasts at least one
// unit, so a frame shorter than a unit still gets one of its own.
#pragma once

#include <cstdint>

#include "model/ExactTime.h"

class TrackClock {
public:
    explicit TrackClock(int64_t unitsPerSecond) : mUnits(unitsPerSecond) {}

    // The next frame, lasting `duration`: its start and length in units.
    void Add(const ExactTime& duration, int64_t& start, int64_t& length);

private:
    int64_t mUnits;
    ExactTime mElapsed;
    int64_t mWrittenUntil = 0;
};
