// Compresses the frames of one settings segment, one at a time, into the
// packets of the output's video track. A new sequence starts a new encoder,
// so the first frame of every segment is a key frame and each segment may
// have its own quality, key-frame distance and data rate.
#pragma once

#include <memory>
#include <vector>

#include "framework/Handle.h"
#include "platform/media/EncodedPacket.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/encode/VideoEncoder.h"

class CompressionSequence {
public:
    explicit CompressionSequence(const Handle* settings) : mSettings(settings) {}
    virtual ~CompressionSequence() = default;
    const Handle* Settings() const { return mSettings; }

private:
    const Handle* mSettings;  // the segment's description; the document's
};

class ImageCompressionSequence : public CompressionSequence {
public:
    // `source` is the frame buffer every frame is compressed from. The
    // frame rate guides the encoder's rate control when the settings keep
    // the source's rate; reordering (B-frames) is allowed when this
    // sequence is the only one in its track.
    ImageCompressionSequence(const OffscreenWorld& source, const Handle* settings, double sourceFrameRate = 0,
                             bool onlySequenceInTrack = false);

    // Opens the encoder (done by the first CompressFrame when not called).
    // Throws LException when the codec cannot be opened at this size.
    void Begin();
    // Compresses what the frame buffer holds now. Packets the encoder
    // releases are appended to `out` (times in 1/600 s).
    void CompressFrame(int64_t pts600, int64_t duration600, std::vector<EncodedPacket>& out);
    // Everything the encoder still holds; no frame may follow.
    void End(std::vector<EncodedPacket>& out);

    const VideoEncoder& Encoder() const { return mEncoder; }
    bool HasBegun() const { return mEncoder.IsOpen(); }

private:
    const OffscreenWorld& mSource;
    VideoSettings mValues;
    double mSourceFrameRate;
    bool mOnlySequence;
    VideoEncoder mEncoder;
};
