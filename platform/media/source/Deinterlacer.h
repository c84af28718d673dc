// Turns interlaced pictures (two fields taken a field apart, as cameras
// and broadcast record them) into whole progressive frames: one frame out
// for each frame in, in the same order, time stamps kept. Frames marked
// progressive pass through as they are, so a movie that is not interlaced
// costs nothing. The filter looks one frame ahead: a frame comes out once
// the next one has gone in, or at the end.
#pragma once

#include <functional>

#include "platform/media/AVHandles.h"

class Deinterlacer {
public:
    explicit Deinterlacer(AVRational timeBase) : mTimeBase(timeBase) {}

    // The next frame in presentation order, whole. `decode` gives the
    // decoder's next frame, false at the end of the stream.
    bool Next(AVFrame* into, const std::function<bool(AVFrame*)>& decode);
    // Forgets the frames it holds, for decoding that starts again elsewhere.
    void Reset();
    // Whether any interlaced picture came by.
    bool SawInterlaced() const { return mSawInterlaced; }

private:
    bool Start(const AVFrame* first);
    bool Fits(const AVFrame* frame) const;
    void CloseInput();

    AVRational mTimeBase;
    media::av::FilterGraph mGraph;
    AVFilterContext* mSource = nullptr;
    AVFilterContext* mSink = nullptr;
    int mWidth = 0, mHeight = 0, mFormat = -1;
    media::av::Frame mHeld = media::av::MakeFrame();  // waits for a filter of its own size
    bool mHolding = false;
    bool mFinished = false;  // the end of the stream went in
    bool mRefused = false;   // the filter cannot take these pictures: they pass as they are
    bool mSawInterlaced = false;
};
