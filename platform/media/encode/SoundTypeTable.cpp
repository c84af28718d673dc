#include "platform/media/encode/SoundTypeTable.h"

#include <cstdlib>
#include <map>

#include "platform/media/AVHandles.h"
#include "platform/media/encode/CodecNames.h"

namespace {

std::vector<SoundTypeInfo> MakeTable() {
    std::vector<SoundTypeInfo> t;
    auto add = [&](const char (&type)[5], const char* name, const char* encoder) -> SoundTypeInfo& {
        SoundTypeInfo info;
        info.type = FourCC(type);
        info.name = name;
        info.encoder = encoder;
        t.push_back(std::move(info));
        return t.back();
    };
    add("NONE", "None", "pcm_s16be").fixedSampleSize = 16;
    add("twos", "16-bit Big Endian", "pcm_s16be").fixedSampleSize = 16;
    add("sowt", "16-bit Little Endian", "pcm_s16le").fixedSampleSize = 16;
    add("in24", "24-bit Integer", "pcm_s24be").fixedSampleSize = 24;
    add("fl32", "32-bit Floating Point", "pcm_f32be").fixedSampleSize = 32;
    add("ulaw", "\xCE\xBC-Law 2:1", "pcm_mulaw").fixedSampleSize = 16;
    add("alaw", "A-Law 2:1", "pcm_alaw").fixedSampleSize = 16;
    auto& ima = add("ima4", "IMA 4:1", "adpcm_ima_qt");
    ima.fixedSampleSize = 16;
    ima.maxChannels = 2;
    auto& aac = add("aac ", "AAC", "aac");
    aac.compressed = aac.hasBitRate = aac.mp4Allowed = true;
    aac.defaultBitRate = 128000;
    aac.sampleRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000};
    auto& alac = add("alac", "Apple Lossless", "alac");
    alac.compressed = alac.mp4Allowed = true;
    auto& opus = add("Opus", "Opus", "libopus");
    opus.compressed = opus.hasBitRate = opus.mp4Allowed = true;
    opus.movAllowed = false;
    opus.defaultBitRate = 96000;
    opus.sampleRates = {8000, 12000, 16000, 24000, 48000};
    auto& mp3 = add(".mp3", "MP3", "libmp3lame");
    mp3.compressed = mp3.hasBitRate = mp3.mp4Allowed = true;
    mp3.maxChannels = 2;
    mp3.defaultBitRate = 160000;
    mp3.sampleRates = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    return t;
}

}  // namespace

bool SoundTypeInfo::IsAvailable() const {
    static std::map<std::string, bool> known;
    auto it = known.find(encoder);
    if (it == known.end()) it = known.emplace(encoder, avcodec_find_encoder_by_name(encoder) != nullptr).first;
    return it->second;
}

bool SoundTypeInfo::AcceptsRate(int rate) const {
    if (sampleRates.empty()) return rate >= 8000 && rate <= 192000;
    for (int r : sampleRates)
        if (r == rate) return true;
    return false;
}

int SoundTypeInfo::NearestRate(int rate) const {
    if (sampleRates.empty()) return rate < 8000 ? 8000 : rate > 192000 ? 192000 : rate;
    int best = sampleRates.front();
    for (int r : sampleRates)
        if (std::abs(int64_t(r) - rate) < std::abs(int64_t(best) - rate)) best = r;
    return best;
}

namespace SoundTypeTable {

const std::vector<SoundTypeInfo>& All() {
    static const std::vector<SoundTypeInfo> table = MakeTable();
    return table;
}

const SoundTypeInfo* Find(OSType type) {
    for (const auto& info : All())
        if (info.type == type) return &info;
    return nullptr;
}

const SoundTypeInfo* FindByName(std::string_view name) {
    for (const auto& info : All())
        if (info.type != FourCC("NONE") && CodecNameMatches(name, info.type, info.name, info.encoder)) return &info;
    return nullptr;
}

std::string NameOf(OSType type) {
    const SoundTypeInfo* info = Find(type);
    return info ? info->name : FourCCToString(type);
}

}  // namespace SoundTypeTable
