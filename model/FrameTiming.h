// Rules for the times of output frames: how long each frame lasts. The compressor asks
// these with exact times, so that every frame shows the source frame of
// its own time however the scales of movie, segment and rate meet.
#pragma once

#include <cstdint>

#include "model/ExactTime.h"

// A segment's frame rate (16.16 frames per second) as a frame duration:
// rounded to tenths of a frame per second as the settings store it, 10
// units of that scale. Zero for a rate of 0 ("as the source").
ExactTime FrameDurationForRate(uint32_t frameRate1616);

// How long the output frame at t lasts: `ownDuration` (the segment's rate)
// or, when that is zero, until the source's next frame; in either case
// ending no later than the end of its segment or the start of the next
// excluded span, so the frame before a cut ends at the cut.
ExactTime OutputFrameDuration(const ExactTime& t, const ExactTime& ownDuration, const ExactTime& nextSourceFrame,
                              const ExactTime& segmentEnd, const ExactTime& nextCut);
