// Where copied sound packets go around the excluded spans. Players play a
// track's packets back to back, so a packet is kept when keeping it brings
// the sound's running end nearer to the time the picture gives that point:
// sound and picture then stay within half a packet of each other however
// many cuts there are, where keeping whole packets by their start time
// would gain or lose up to a packet at every cut.
#pragma once

#include <cstdint>

#include "framework/TArray.h"
#include "model/ExactTime.h"
#include "model/ExcludedSpans.h"
#include "model/TimeRange.h"

class SoundPacketPlacement {
public:
    // Packet times count `timeBaseNum / timeBaseDen` seconds a unit.
    SoundPacketPlacement(const TArray<TimeRange*>* ranges, int64_t timeBaseNum, int64_t timeBaseDen);

    // True, with the packet's output time in the same units, when the
    // packet (source time and duration) belongs in the output.
    bool Place(int64_t pts, int64_t duration, int64_t& outputPts);

private:
    ExactTime Time(int64_t units) const { return ExactTime(units * mNum, mDen); }

    ExcludedSpans mRanges;
    int64_t mNum, mDen;
    bool mStarted = false;
    int64_t mEnd = 0;  // where the next kept packet plays, in packet units
};
