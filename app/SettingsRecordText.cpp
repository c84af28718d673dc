#include "app/SettingsRecordText.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "framework/LHandleStream.h"
#include "platform/media/AtomContainer.h"
#include "model/DescriptionTime.h"
#include "model/TimeRange.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"

namespace {

// The record decoded into plain values, in its own order.
struct DecodedRecord {
    int32_t version = 0;
    int32_t crop[4] = {};  // top, left, bottom, right
    int32_t outputWidth = 0, outputHeight = 0, rotation = 0;
    bool flipH = false, flipV = false, customSize = false, constrain = false;
    int16_t watermarkVolume = 0;
    int32_t watermarkFolder = 0;
    std::string watermarkName;
    uint32_t placement = 0;
    std::vector<Handle> filters, video, audio;
    std::vector<TimeRange> excluded;
};

std::vector<Handle> ReadHandles(LHandleStream& in) {
    std::vector<Handle> list;
    const int32_t count = in.GetBE32();
    // Each entry takes at least its 4-byte size, so a count larger than
    // what is left cannot be real; reading stops at the stream's end.
    for (int32_t i = 0; i < count; ++i) list.push_back(in.GetSizedHandle());
    return list;
}

DecodedRecord Decode(const Handle& record) {
    LHandleStream in(&record);
    DecodedRecord r;
    r.version = in.GetBE32();
    for (int32_t& c : r.crop) c = in.GetBE32();
    r.outputWidth = in.GetBE32();
    r.outputHeight = in.GetBE32();
    r.rotation = in.GetBE32();
    r.flipH = in.GetByte() != 0;
    r.flipV = in.GetByte() != 0;
    r.customSize = in.GetByte() != 0;
    r.constrain = in.GetByte() != 0;
    r.watermarkVolume = in.GetBE16();
    r.watermarkFolder = in.GetBE32();
    const uint8_t nameLength = in.GetByte();
    r.watermarkName.resize(nameLength);
    in.GetBytes(r.watermarkName.data(), nameLength);
    r.placement = in.GetBE32U();
    r.filters = ReadHandles(in);
    r.video = ReadHandles(in);
    r.audio = ReadHandles(in);
    const int32_t ranges = in.GetBE32();
    for (int32_t i = 0; i < ranges; ++i) {
        STimeValue start, end;
        start.value = in.GetBE32();
        start.scale = in.GetBE32();
        end.value = in.GetBE32();
        end.scale = in.GetBE32();
        r.excluded.emplace_back(start, end);
    }
    return r;
}

std::string Seconds(const STimeValue& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", t.scale > 0 ? double(t.value) / t.scale : 0.0);
    return buf;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') { out += '\\'; out += char(c); }
        else if (c < 0x20) { char buf[8]; std::snprintf(buf, sizeof buf, "\\u%04x", c); out += buf; }
        else out += char(c);
    }
    return out + "\"";
}

struct VideoSummary { std::string codec; int32_t quality; double frameRate; uint32_t dataRate; int32_t keyFrameRate; STimeValue start, end; };
struct SoundSummary { std::string type; int rate; int channels; int sampleSize; std::string options; };

VideoSummary SummariseVideo(const Handle& h) {
    VideoSummary s{};
    VideoSettings v;
    try { if (!h.IsNull()) v = VideoSettings::FromHandle(h); } catch (const LException&) {}
    s.codec = VideoCodecTable::NameOf(v.codecType);
    s.quality = v.spatialQuality;
    s.frameRate = v.frameRate / 65536.0;
    s.dataRate = v.dataRate;
    s.keyFrameRate = v.keyFrameRate;
    GetDescriptionTime(&h, s.start, s.end);
    return s;
}

SoundSummary SummariseSound(const Handle& h) {
    SoundSummary s{};
    SoundSettings v;
    try { if (!h.IsNull()) v = SoundSettings::FromHandle(h); } catch (const LException&) {}
    const SoundTypeInfo* info = SoundTypeTable::Find(v.compressionType);
    s.type = info ? info->name : FourCCToString(v.compressionType);
    s.rate = v.SampleRateHz();
    s.channels = v.channels;
    s.sampleSize = v.sampleSize;
    s.options = FormatEncoderOptions(v.options);
    while (!s.options.empty() && s.options.back() == '\n') s.options.pop_back();
    return s;
}

std::string FilterName(const Handle& h) {
    if (h.IsNull()) return "(none)";
    std::string name = GetEffectName(h);
    return name.empty() ? "(unknown effect)" : name;
}

}  // namespace

std::string DescribeSettingsRecord(const Handle& record) {
    const DecodedRecord r = Decode(record);
    std::ostringstream out;
    const bool fullFrame = !r.crop[0] && !r.crop[1] && !r.crop[2] && !r.crop[3];
    out << "Crop:            ";
    if (fullFrame) out << "the whole picture\n";
    else out << "left " << r.crop[1] << ", top " << r.crop[0] << ", right " << r.crop[3] << ", bottom " << r.crop[2] << "\n";
    out << "Output size:     ";
    if (r.outputWidth > 0 && r.outputHeight > 0) out << r.outputWidth << " x " << r.outputHeight;
    else out << "as the crop";
    out << (r.customSize ? " (custom)" : "") << (r.constrain ? ", proportions kept" : "") << "\n";
    out << "Rotation:        " << r.rotation << " degrees\n";
    out << "Flips:           " << (r.flipH ? "horizontal" : "") << (r.flipH && r.flipV ? " and " : "")
        << (r.flipV ? "vertical" : "") << (!r.flipH && !r.flipV ? "none" : "") << "\n";
    out << "Watermark:       " << (r.watermarkName.empty() ? "none" : r.watermarkName)
        << " (placement " << r.placement << ")\n";
    out << "Filters:         " << r.filters.size() << "\n";
    for (const Handle& f : r.filters) out << "  - " << FilterName(f) << "\n";
    out << "Video segments:  " << r.video.size() << "\n";
    for (const Handle& h : r.video) {
        const VideoSummary s = SummariseVideo(h);
        out << "  - " << Seconds(s.start) << " s to " << Seconds(s.end) << " s: " << s.codec << ", quality " << s.quality;
        if (s.frameRate > 0) out << ", " << s.frameRate << " fps"; else out << ", frame rate as the source";
        if (s.dataRate > 0) out << ", limit " << s.dataRate << " bytes/s";
        if (s.keyFrameRate > 0) out << ", key frame every " << s.keyFrameRate;
        out << "\n";
    }
    out << "Sound settings:  " << (r.audio.empty() ? "none (the sound is copied)" : std::to_string(r.audio.size())) << "\n";
    for (const Handle& h : r.audio) {
        const SoundSummary s = SummariseSound(h);
        out << "  - " << s.type << ", " << (s.rate ? std::to_string(s.rate) + " Hz" : "rate as the source") << ", "
            << (s.channels ? std::to_string(s.channels) + " channels" : "channels as the source");
        if (!s.options.empty()) out << ", " << s.options;
        out << "\n";
    }
    out << "Left out:        " << r.excluded.size() << "\n";
    for (const TimeRange& t : r.excluded) out << "  - " << Seconds(t.start) << " s to " << Seconds(t.end) << " s\n";
    return out.str();
}

std::string DescribeSettingsRecordAsJson(const Handle& record) {
    const DecodedRecord r = Decode(record);
    std::ostringstream out;
    out << "{\n  \"version\": " << r.version << ",\n";
    out << "  \"crop\": {\"top\": " << r.crop[0] << ", \"left\": " << r.crop[1] << ", \"bottom\": " << r.crop[2]
        << ", \"right\": " << r.crop[3] << "},\n";
    out << "  \"outputWidth\": " << r.outputWidth << ", \"outputHeight\": " << r.outputHeight << ",\n";
    out << "  \"rotation\": " << r.rotation << ", \"flipHorizontal\": " << (r.flipH ? "true" : "false")
        << ", \"flipVertical\": " << (r.flipV ? "true" : "false") << ",\n";
    out << "  \"customSize\": " << (r.customSize ? "true" : "false") << ", \"constrainProportions\": "
        << (r.constrain ? "true" : "false") << ",\n";
    out << "  \"watermark\": {\"volume\": " << r.watermarkVolume << ", \"folder\": " << r.watermarkFolder
        << ", \"name\": " << JsonString(r.watermarkName) << ", \"placement\": " << r.placement << "},\n";
    out << "  \"filters\": [";
    for (size_t i = 0; i < r.filters.size(); ++i) out << (i ? ", " : "") << JsonString(FilterName(r.filters[i]));
    out << "],\n  \"videoSegments\": [";
    for (size_t i = 0; i < r.video.size(); ++i) {
        const VideoSummary s = SummariseVideo(r.video[i]);
        out << (i ? ",\n    " : "\n    ") << "{\"codec\": " << JsonString(s.codec) << ", \"quality\": " << s.quality
            << ", \"frameRate\": " << s.frameRate << ", \"dataRate\": " << s.dataRate << ", \"keyFrameRate\": "
            << s.keyFrameRate << ", \"start\": " << Seconds(s.start) << ", \"end\": " << Seconds(s.end) << "}";
    }
    out << (r.video.empty() ? "" : "\n  ") << "],\n  \"audioSegments\": [";
    for (size_t i = 0; i < r.audio.size(); ++i) {
        const SoundSummary s = SummariseSound(r.audio[i]);
        out << (i ? ", " : "") << "{\"type\": " << JsonString(s.type) << ", \"sampleRate\": " << s.rate
            << ", \"channels\": " << s.channels << ", \"sampleSize\": " << s.sampleSize << ", \"options\": "
            << JsonString(s.options) << "}";
    }
    out << "],\n  \"excludedRanges\": [";
    for (size_t i = 0; i < r.excluded.size(); ++i)
        out << (i ? ", " : "") << "{\"start\": " << Seconds(r.excluded[i].start) << ", \"end\": "
            << Seconds(r.excluded[i].end) << "}";
    out << "]\n}\n";
    return out.str();
}

namespace {

enum class PresetKind { None, Video, Sound, Effect };

PresetKind KindOf(const Handle& preset) {
    AtomContainer container;
    if (!AtomContainer::TryParse(preset, container)) return PresetKind::None;
    if (container.Find(FourCC("vide"))) return PresetKind::Video;
    if (container.Find(FourCC("soun"))) return PresetKind::Sound;
    return GetEffectName(preset).empty() ? PresetKind::None : PresetKind::Effect;
}

const char* KindName(PresetKind kind) {
    switch (kind) {
        case PresetKind::Video: return "video";
        case PresetKind::Sound: return "sound";
        case PresetKind::Effect: return "effect";
        case PresetKind::None: break;
    }
    return "";
}

}  // namespace

std::string SummarisePreset(const Handle& preset) {
    std::ostringstream out;
    switch (KindOf(preset)) {
        case PresetKind::Video: {
            const VideoSummary s = SummariseVideo(preset);
            const VideoSettings v = VideoSettings::FromHandle(preset);
            out << s.codec << ", quality " << s.quality;
            if (const VideoCodecInfo* codec = VideoCodecTable::Find(v.codecType))
                out << " (" << VideoCodecTable::QualityText(*codec, s.quality) << ")";
            if (s.dataRate > 0) out << ", " << s.dataRate * 8 / 1000 << " kbit/s";
            if (s.frameRate > 0) out << ", " << s.frameRate << " fps";
            break;
        }
        case PresetKind::Sound: {
            const SoundSummary s = SummariseSound(preset);
            out << s.type;
            if (s.rate) out << ", " << s.rate << " Hz";
            if (s.channels) out << ", " << s.channels << " channels";
            const std::string bitrate = FindEncoderOption(SoundSettings::FromHandle(preset).options, "bitrate");
            if (!bitrate.empty()) out << ", " << std::atoi(bitrate.c_str()) / 1000 << " kbit/s";
            break;
        }
        case PresetKind::Effect: out << GetEffectName(preset); break;
        case PresetKind::None: break;
    }
    return out.str();
}

std::string DescribePreset(const Handle& preset) {
    const PresetKind kind = KindOf(preset);
    if (kind == PresetKind::None) return {};
    return std::string("Preset:          ") + KindName(kind) + "\nSettings:        " + SummarisePreset(preset) + "\n";
}

std::string DescribePresetAsJson(const Handle& preset) {
    const PresetKind kind = KindOf(preset);
    if (kind == PresetKind::None) return {};
    std::ostringstream out;
    out << "{\"preset\": " << JsonString(KindName(kind)) << ", \"summary\": " << JsonString(SummarisePreset(preset));
    if (kind == PresetKind::Video) {
        const VideoSummary s = SummariseVideo(preset);
        out << ", \"codec\": " << JsonString(s.codec) << ", \"quality\": " << s.quality << ", \"dataRate\": " << s.dataRate;
    } else if (kind == PresetKind::Sound) {
        const SoundSummary s = SummariseSound(preset);
        out << ", \"type\": " << JsonString(s.type) << ", \"sampleRate\": " << s.rate << ", \"channels\": " << s.channels
            << ", \"options\": " << JsonString(s.options);
    }
    out << "}\n";
    return out.str();
}
