// The values of a sound settings description ('soun' with 'ssct', 'sscc',
// 'ssss', 'ssrt', and the top-level 'CSTa' lines).
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/encode/EncoderOptions.h"

class AtomContainer;

struct SoundSettings {
    OSType compressionType = FourCC("NONE");
    int16_t channels = 0;       // 0 = as the source
    int16_t sampleSize = 0;     // bits; 0 = the format's own
    uint32_t sampleRate = 0;    // 16.16 unsigned; 0 = as the source
    EncoderOptions options;     // 'CSTa', e.g. bitrate=160000

    int SampleRateHz() const { return int(sampleRate >> 16); }

    // As VideoSettings::FromHandle: null/empty → defaults, not a container → LException.
    static SoundSettings FromHandle(const Handle& settings);
    static SoundSettings FromContainer(const AtomContainer& container);

    void WriteTo(AtomContainer& container) const;
    Handle ToHandle() const;
};

Handle MakeSoundSettings(OSType compressionType, int channels, int sampleSizeBits, int sampleRateHz,
                         const EncoderOptions& options = {});

// The built-in sound setting: AAC at 128 kbit/s with the source's channels
// and rate, used when nothing else is chosen and when the source's sound
// cannot be copied into the destination.
Handle DefaultSoundSettings();
