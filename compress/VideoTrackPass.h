// The output's video track, fed one drawn frame at a time. Each settings
// segment gets a compression sequence of its own, begun when the segment
// changes, so that its first frame is a key frame; the packets go to the
// writer and to the data-rate graph.
#pragma once

#include <memory>
#include <vector>

#include "compress/ImageCompressionSequence.h"
#include "model/ExactTime.h"
#include "model/TrackClock.h"

class CompressionProgress;
class MovieWriter;

class VideoTrackPass {
public:
    // Every frame is compressed from `frameBuffer`. The source's frame rate
    // guides rate control; a single segment may use B-frames.
    VideoTrackPass(MovieWriter& writer, CompressionProgress& progress, const OffscreenWorld& frameBuffer,
                   double sourceFrameRate, bool singleSegment);
    ~VideoTrackPass();
    VideoTrackPass(const VideoTrackPass&) = delete;
    VideoTrackPass& operator=(const VideoTrackPass&) = delete;

    // Compresses the next frames with `segment`: a segment other than the
    // last one ends that one's sequence and begins its own. True when this
    // added the video track to the writer, so that the tracks that follow
    // it can be added now. Throws LException.
    bool UseSegment(const Handle* segment);
    // A frame of the segment's own rate; zero when it keeps the source's.
    const ExactTime& SegmentFrameDuration() const { return mSegmentFrameDuration; }
    // Compresses what the frame buffer holds, as a frame lasting `duration`
    // after the last one. Throws LException.
    void AddFrame(const ExactTime& duration);
    // Writes what the encoder still holds, unless the run was cancelled,
    // and lets the sequence go. Throws LException.
    void End(bool cancelled);

private:
    void WritePackets();

    MovieWriter& mWriter;
    CompressionProgress& mProgress;
    const OffscreenWorld& mFrameBuffer;
    double mSourceFrameRate;
    bool mSingleSegment;
    std::unique_ptr<ImageCompressionSequence> mSequence;
    const Handle* mSegment = nullptr;
    ExactTime mSegmentFrameDuration;
    TrackClock mClock{600};  // output times run on without the excluded spans
    std::vector<EncodedPacket> mPackets;
};
