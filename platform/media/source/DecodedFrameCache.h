// Decoded pictures around the current time, so that stepping a frame back
// or forward does not decode from the last key frame each time (in a
// long-GOP movie that is hundreds of frames for one step).
//
// Draws as MovieFrameRenderer::DrawFrameAt does. The pictures its own
// decoding passes are kept, and a background thread decodes the ones just
// behind and ahead of the time last asked to be filled around. A frame
// before the current one comes only from a run that starts at an earlier
// key frame, so the frames behind are decoded in runs that refill half the
// cache or more at once. Memory is bounded: at most `capacity` pictures,
// fewer when the pictures are large.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/LException.h"
#include "platform/media/OffscreenWorld.h"

class Movie;

class DecodedFrameCache {
public:
    static constexpr int kDefaultCapacity = 64;
    static constexpr size_t kMemoryBudget = size_t(256) << 20;

    // Throws LException as MovieFrameRenderer does (no video, no decoder).
    explicit DecodedFrameCache(const Movie& movie, int capacity = kDefaultCapacity);
    ~DecodedFrameCache();
    DecodedFrameCache(const DecodedFrameCache&) = delete;
    DecodedFrameCache& operator=(const DecodedFrameCache&) = delete;

    // The frame shown at movieTime, from the cache when it holds it, else
    // decoded (waiting for the background run when that is about to
    // bring it).
    OSErr DrawFrameAt(int64_t movieTime, OffscreenWorld& world);
    // Fills the cache around movieTime in the background (the current time
    // while the movie stands still; during playback the drawing itself
    // keeps the frames just played).
    void FillAround(int64_t movieTime);

    // For tests and measurements: waits until the background filling has
    // nothing left to do (false when the time ran out); how many pictures
    // are held.
    bool WaitUntilFilled(std::chrono::milliseconds timeout);
    int CachedFrames() const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
