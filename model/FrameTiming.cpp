#include "model/FrameTiming.h"

#include <initializer_list>

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
