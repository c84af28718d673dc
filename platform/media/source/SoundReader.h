// Decoded sound of a movie's first audio track between two movie times,
// for the sound conversion of the compression job. Consecutive reads that
// start where the last one ended continue decoding without a seek; a read
// before the last one, or well after it, seeks.
//
// Sample positions are exact: sample n of the track plays at movie time
// n / SampleRate() seconds, and a read of [start, end) returns samples
// round(start * rate / scale) up to round(end * rate / scale), padding gaps
// in the track with silence and stopping early only at the track's end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/LException.h"
#include "platform/media/source/MovieLayout.h"

struct DecodedSound {
    int sampleRate = 0;
    int channels = 0;
    uint64_t channelMask = 0;  // speaker bits (FFmpeg AV_CH_* values); 0 when unspecified
    int64_t firstSample = 0;   // position of samples[0] in the track, in samples
    int64_t frames = 0;        // samples per channel returned
    std::vector<float> samples;  // interleaved, frames * channels values, -1..1

    // How much source time the returned sound spans, in `scale` units (truncated).
    int64_t SpanIn(int32_t scale) const { return sampleRate ? frames * scale / sampleRate : 0; }
};

class SoundReader {
public:
    // Throws LException: the errors of Movie::Open, kTrackNotInMovieErr
    // without sound, kCodecErr without a decoder.
    static std::unique_ptr<SoundReader> Open(const std::string& path);
    ~SoundReader();

    int SampleRate() const;
    int Channels() const;
    uint64_t ChannelMask() const;
    std::string CodecName() const;

    // Sound for [start, end) in `scale` units of movie time into `out`
    // (its buffer is reused). noErr, paramErr for a bad scale or end <
    // start, kCodecErr when decoding fails for good.
    OSErr Read(int64_t start, int64_t end, int32_t scale, DecodedSound& out);

    // When the file's sound ran out well before the track's end (data cut
    // off or damaged): where the readable sound ends, from movie time 0.
    // Known once reading has reached that point; false for a whole file.
    bool ReadableEnd(RationalTime& end) const;
    // The span of movie time in which sound could not all be decoded
    // cleanly (damage inside the file); false when there was none.
    bool DamagedSpan(RationalTime& from, RationalTime& to) const;

    // How many times the reader had to seek (for tests).
    int SeekCount() const;

private:
    SoundReader();
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
