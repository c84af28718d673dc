#include "compress/VideoTrackPass.h"

#include <algorithm>

#include "compress/CompressionProgress.h"
#include "model/FrameTiming.h"
#include "platform/media/encode/MovieWriter.h"

VideoTrackPass::VideoTrackPass(MovieWriter& writer, CompressionProgress& progress, const OffscreenWorld& frameBuffer,
                               double sourceFrameRate, bool singleSegment)
    : mWriter(writer), mProgress(progress), mFrameBuffer(frameBuffer), mSourceFrameRate(sourceFrameRate),
      mSingleSegment(singleSegment) {}

VideoTrackPass::~VideoTrackPass() = default;

bool VideoTrackPass::UseSegment(const Handle* segment) {
    if (mSequence && segment == mSegment) return false;
    if (mSequence) {
        mPackets.clear();
        mSequence->End(mPackets);
        WritePackets();
    }
    mSegment = segment;
    mSegmentFrameDuration = FrameDurationForRate(VideoSettings::ReadOrDefaults(segment).frameRate);
    mSequence = std::make_unique<ImageCompressionSequence>(mFrameBuffer, segment, mSourceFrameRate, mSingleSegment);
    mSequence->Begin();
    if (mWriter.HasVideoTrack()) return false;
    mWriter.AddVideoTrack(mSequence->Encoder());
    return true;
}

void VideoTrackPass::AddFrame(const ExactTime& duration) {
    int64_t start600 = 0, length600 = 0;
    mClock.Add(duration, start600, length600);
    mPackets.clear();
    mSequence->CompressFrame(start600, length600, mPackets);
    WritePackets();
}

void VideoTrackPass::End(bool cancelled) {
    // A cancelled run does not wait for the frames the encoder holds back.
    if (mSequence && !cancelled) {
        mPackets.clear();
        mSequence->End(mPackets);
        WritePackets();
    }
    mSequence.reset();
}

void VideoTrackPass::WritePackets() {
    for (const EncodedPacket& p : mPackets) {
        mWriter.WriteVideoPacket(p);
        mProgress.AddFrame(int32_t(std::min<size_t>(p.data.size(), INT32_MAX)), int32_t(p.duration), p.keyFrame);
    }
}
