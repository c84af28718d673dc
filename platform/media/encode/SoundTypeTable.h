// The sound compression types this program can write, with the FFmpeg
// encoder behind each and the formats it accepts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/FourCharCode.h"

struct SoundTypeInfo {
    OSType type = 0;
    const char* name = "";      // shown to the user
    const char* encoder = "";   // FFmpeg encoder name
    std::vector<int> sampleRates;   // accepted rates; empty = any rate 8000 ... 192000
    int maxChannels = 8;
    int fixedSampleSize = 0;    // bits per sample the format always has; 0 = not a PCM size
    bool compressed = false;    // a lossy or lossless codec, not plain samples
    bool hasBitRate = false;    // takes a bitrate= option
    int defaultBitRate = 0;     // per channel pair, bits per second
    bool mp4Allowed = false;
    bool movAllowed = true;

    bool IsAvailable() const;
    bool AcceptsRate(int rate) const;
    // The accepted rate nearest to the one asked for.
    int NearestRate(int rate) const;
};

namespace SoundTypeTable {
const std::vector<SoundTypeInfo>& All();
const SoundTypeInfo* Find(OSType type);  // null for an unknown type
// The first type a typed name fits ("aac", "Opus", "libmp3lame", "twos").
const SoundTypeInfo* FindByName(std::string_view name);
std::string NameOf(OSType type);
}  // namespace SoundTypeTable
