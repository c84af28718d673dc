// The sound converter: one resampler and one encoder living for a whole
// span of sound, from the source's PCM format to the format of the sound
// settings. Blocks of any length go in; encoder-sized frames are cut from
// a FIFO, so compressed formats are never restarted between blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/media/EncodedPacket.h"
#include "platform/media/StreamParameters.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/SoundTypeTable.h"

enum class PcmSampleType { S16, S32, Float, Double };

struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;
    PcmSampleType sampleType = PcmSampleType::Float;
    bool planar = false;  // one buffer per channel instead of interleaved samples
    uint64_t channelMask = 0;  // speaker bits (FFmpeg AV_CH_* values); 0 = the usual layout for the count
};

class SoundEncoder {
public:
    SoundEncoder();
    ~SoundEncoder();
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    // Channels, sample size and rate of 0 in the settings keep the source's
    // (sample size: the format's own). A rate the codec cannot take becomes
    // the nearest one it can. Packet times are in 1/OutputSampleRate,
    // starting at firstPts. Throws LException: kNoSoundExporterErr for an
    // unknown or missing encoder, paramErr for a bad input format,
    // kCodecErr when the encoder refuses its options.
    void Open(const SoundSettings& settings, const PcmFormat& input, int64_t firstPts = 0);
    bool IsOpen() const;

    // frames = samples per channel. planes: one pointer for interleaved
    // input, one per channel for planar input. Returns the bytes of the
    // packets appended to out. Throws LException(kCodecErr).
    int64_t Convert(const uint8_t* const* planes, int frames, std::vector<EncodedPacket>& out);
    int64_t Convert(const float* interleaved, int frames, std::vector<EncodedPacket>& out);
    // Converts what the resampler and FIFO still hold and drains the
    // encoder; returns the bytes appended. Nothing may be converted after.
    int64_t Finish(std::vector<EncodedPacket>& out);

    OSType CompressionType() const;
    const SoundTypeInfo& Type() const;
    int OutputSampleRate() const;
    int OutputChannels() const;
    MediaTimeBase TimeBase() const;  // 1 / OutputSampleRate
    StreamParameters Parameters() const;

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
