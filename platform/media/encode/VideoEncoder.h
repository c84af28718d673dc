// One video encoder for one settings segment. The first frame it is given
// is always a key frame; frames come out in presentation order unless
// reordering is allowed, so the segments of a track join without timestamp
// games and every sample's duration is exactly the one given.
//
// Frames are converted from the offscreen world (RGB24, RGBA32 or planar
// YUV) into the encoder's pixel format with one scaler and one frame buffer
// reused for the whole segment; a planar world in the encoder's own format
// is only copied.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/EncodedPacket.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/StreamParameters.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Packet times are counted in timeBase. nominalFrameRate (frames per
    // second) guides rate control; 0 takes the settings' frame rate, or 30.
    // Throws LException: kNoCodecErr (unknown or missing encoder),
    // kBadFrameSizeErr, kCodecErr (the encoder refused its options).
    // allowReordering lets H.264 and HEVC use B-frames (packets then come
    // out in decoding order, dts before pts); only for a track that this
    // encoder fills alone, since a following encoder's decoding times could
    // fall before this one's.
    // colour is what the output's pictures are made as and tagged with
    // (OutputColour): its matrix and range for YUV, and a depth over 8
    // bits picks the codec's deep format. Worlds are converted to it from
    // their own colour; a planar world already in the encoder's format and
    // colour is only copied.
    void Open(const VideoSettings& settings, int width, int height, MediaTimeBase timeBase = {1, 600},
              double nominalFrameRate = 0, bool allowReordering = false,
              const ColourDescription& colour = ColourDescription::Bt601());
    bool IsOpen() const;

    // Compresses the world (which must be the size given to Open); appends
    // whatever packets the encoder releases. Throws LException(kCodecErr).
    void Encode(const OffscreenWorld& frame, int64_t pts, int64_t duration, std::vector<EncodedPacket>& out);
    // Drains the encoder; no frame may follow.
    void Flush(std::vector<EncodedPacket>& out);

    OSType CodecType() const;
    const VideoCodecInfo& Codec() const;
    int Width() const;
    int Height() const;
    MediaTimeBase TimeBase() const;
    // "H.264 (libx264, CRF 23)" for messages and logs.
    std::string Describe() const;
    // The stream description for the movie writer. Codec headers that
    // change between segments travel inside the packets.
    StreamParameters Parameters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
