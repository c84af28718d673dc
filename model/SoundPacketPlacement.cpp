#include "model/SoundPacketPlacement.h"

#include "model/ExcludedSpans.h"

SoundPacketPlacement::SoundPacketPlacement(const TArray<TimeRange*>* ranges, int64_t timeBaseNum,
                                           int64_t timeBaseDen)
    : mRanges(ranges), mNum(timeBaseNum > 0 ? timeBaseNum : 1), mDen(timeBaseDen > 0 ? timeBaseDen : 1) {}

bool SoundPacketPlacement::Place(int64_t pts, int64_t duration, int64_t& outputPts) {
    const ExactTime at = mRanges.OutputTimeOf(Time(pts));
    if (!mStarted || duration <= 0) {
        // Without a duration, a packet keeps its own time unless it is cut.
        if (mStarted && !(mRanges.OutputTimeOf(Time(pts + 1)) > at)) return false;
        mStarted = true;
        mEnd = at.RoundedIn(mDen) / mNum;
    }
    // Kept when end + duration / 2 < where the packet's end belongs.
    const ExactTime belongsAt = mRanges.OutputTimeOf(Time(pts + std::max<int64_t>(duration, 0)));
    if (duration > 0 && !(ExactTime((2 * mEnd + duration) * mNum, 2 * mDen) < belongsAt)) return false;
    outputPts = mEnd;
    mEnd += std::max<int64_t>(duration, 0);
    return true;
}
