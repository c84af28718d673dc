#include "app/CommandLineEdits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/ToolCommandLine.h"
#include "catalogs/SettingsPatch.h"
#include "model/CTambleVideoDocModel.h"
#include "model/TimeRange.h"
#include "model/WatermarkPlacement.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/CodecNames.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"

namespace fs = std::filesystem;

namespace {

struct Named { const char* name; int32_t value; };

constexpr Named kQualities[] = {
    {"minimum", VideoCodecTable::kMinQuality},   {"low", VideoCodecTable::kLowQuality},
    {"normal", VideoCodecTable::kNormalQuality}, {"high", VideoCodecTable::kHighQuality},
    {"maximum", VideoCodecTable::kMaxQuality},   {"lossless", VideoCodecTable::kLosslessQuality},
};

constexpr Named kPlacements[] = {
    {"top-left", 0},
    {"top", kPlaceCentreHorizontally | kPlaceRight},
    {"top-right", kPlaceRight},
    {"left", kPlaceCentreVertically | kPlaceBottom},
    {"center", kPlaceCentreHorizontally | kPlaceRight | kPlaceCentreVertically | kPlaceBottom},
    {"right", kPlaceRight | kPlaceCentreVertically | kPlaceBottom},
    {"bottom-left", kPlaceBottom},
    {"bottom", kPlaceCentreHorizontally | kPlaceRight | kPlaceBottom},
    {"bottom-right", kPlaceRight | kPlaceBottom},
};

template <size_t N>
std::optional<int32_t> FindNamed(const Named (&table)[N], const std::string& name) {
    for (const Named& entry : table)
        if (name == entry.name) return entry.value;
    return std::nullopt;
}

template <size_t N>
std::string NamesOf(const Named (&table)[N]) {
    std::string names;
    for (const Named& entry : table) names += std::string(names.empty() ? "" : ", ") + entry.name;
    return names;
}

// A whole number, or a decimal one when `decimals`, with nothing after it.
bool ReadNumber(const std::string& text, double& out, bool decimals = false) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = decimals ? std::strtod(text.c_str(), &end) : double(std::strtoll(text.c_str(), &end, 10));
    return end && *end == '\0' && std::isfinite(out);
}

bool ReadInt(const std::string& text, int32_t low, int32_t high, int32_t& out) {
    double value = 0;
    if (!ReadNumber(text, value) || value < low || value > high) return false;
    out = int32_t(value);
    return true;
}

// "90", "1:30", "1:02:03.5": seconds, minutes and seconds, or hours too.
bool ReadTime(const std::string& text, double& seconds) {
    seconds = 0;
    size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        const size_t colon = text.find(':', start);
        const std::string piece = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        double value = 0;
        const bool last = colon == std::string::npos;
        if (!ReadNumber(piece, value, last) || value < 0 || (!last && value != std::floor(value))) return false;
        seconds = seconds * 60 + value;
        if (last) return true;
        start = colon + 1;
    }
    return false;
}

// "1280x720"; one side may be left out ("1280x", "x720").
bool ReadSize(const std::string& text, int32_t& width, int32_t& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const std::string w = text.substr(0, x), h = text.substr(x + 1);
    width = height = 0;
    if (w.empty() && h.empty()) return false;
    return (w.empty() || ReadInt(w, 2, 16384, width)) && (h.empty() || ReadInt(h, 2, 16384, height));
}

// "640x360+20+10": the part of the (turned) picture that is kept.
bool ReadCrop(const std::string& text, CommandLineEdits::Crop& crop) {
    const size_t plus = text.find('+');
    if (plus == std::string::npos) return false;
    const size_t second = text.find('+', plus + 1);
    if (second == std::string::npos) return false;
    int32_t width = 0, height = 0;
    if (!ReadSize(text.substr(0, plus), width, height) || width == 0 || height == 0) return false;
    crop = {0, 0, width, height};
    return ReadInt(text.substr(plus + 1, second - plus - 1), 0, 16384, crop.left) &&
           ReadInt(text.substr(second + 1), 0, 16384, crop.top);
}

// Kilobits per second, "k" or "M" allowed ("800", "800k", "2.5M"), in bits.
bool ReadBitRate(const std::string& text, int64_t& bits) {
    if (text.empty()) return false;
    double factor = 1000;
    std::string number = text;
    if (number.back() == 'k' || number.back() == 'K') number.pop_back();
    else if (number.back() == 'M' || number.back() == 'm') { number.pop_back(); factor = 1e6; }
    double value = 0;
    if (!ReadNumber(number, value, true) || value <= 0 || value * factor > 2e9) return false;
    bits = int64_t(value * factor);
    return true;
}

bool Bad(std::string& error, const std::string& option, const std::string& value, const std::string& expected) {
    error = "--" + option + " " + value + ": " + expected;
    return false;
}

bool ReadVideoEdits(const ToolCommandLine& line, CommandLineEdits& e, std::string& error) {
    if (line.IsSet("codec")) {
        const std::string name = line.Value("codec");
        const VideoCodecInfo* codec = VideoCodecTable::FindByName(name);
        if (!codec || !codec->IsAvailable()) return Bad(error, "codec", name, "not a video codec this program has (" + VideoCodecNames() + ")");
        e.codec = codec->type;
    }
    if (line.IsSet("quality")) {
        const std::string text = line.Value("quality");
        double percent = 0;
        if (auto named = FindNamed(kQualities, text)) e.quality = *named;
        else if (ReadNumber(text, percent, true) && percent >= 0 && percent <= 100)
            e.quality = int32_t(std::lround(percent * VideoCodecTable::kLosslessQuality / 100));
        else return Bad(error, "quality", text, "a percentage from 0 to 100 or one of " + NamesOf(kQualities));
    }
    if (line.IsSet("data-rate")) {
        int64_t bits = 0;
        if (!ReadBitRate(line.Value("data-rate"), bits)) return Bad(error, "data-rate", line.Value("data-rate"), "kilobits per second, such as 2500 or 2.5M");
        e.dataRate = uint32_t(bits / 8);
    }
    return true;
}

bool ReadPictureEdits(const ToolCommandLine& line, CommandLineEdits& e, std::string& error) {
    if (line.IsSet("rotate")) {
        const std::string text = line.Value("rotate");
        int32_t degrees = 0;
        if (text == "left") degrees = 270;
        else if (text == "right") degrees = 90;
        else if (!ReadInt(text, -270, 270, degrees) || degrees % 90 != 0)
            return Bad(error, "rotate", text, "90, 180, 270 (or -90), left or right");
        e.rotation = (degrees + 360) % 360;
    }
    for (const std::string& flip : line.Values("flip")) {
        if (flip == "horizontal" || flip == "h" || flip == "both") e.flipHorizontal = true;
        if (flip == "vertical" || flip == "v" || flip == "both") e.flipVertical = true;
        if (!(flip == "horizontal" || flip == "h" || flip == "vertical" || flip == "v" || flip == "both"))
            return Bad(error, "flip", flip, "horizontal, vertical or both");
    }
    if (line.IsSet("crop")) {
        CommandLineEdits::Crop crop{};
        if (!ReadCrop(line.Value("crop"), crop)) return Bad(error, "crop", line.Value("crop"), "WIDTHxHEIGHT+LEFT+TOP, such as 640x360+0+60");
        e.crop = crop;
    }
    if (line.IsSet("size") && !ReadSize(line.Value("size"), e.width, e.height))
        return Bad(error, "size", line.Value("size"), "WIDTHxHEIGHT, such as 1280x720 (or 1280x to keep the proportions)");
    e.watermark = line.Value("watermark");
    if (line.IsSet("placement")) {
        auto placement = FindNamed(kPlacements, line.Value("placement"));
        if (!placement) return Bad(error, "placement", line.Value("placement"), "one of " + NamesOf(kPlacements));
        e.placement = uint32_t(*placement);
    }
    for (const std::string& span : line.Values("exclude")) {
        const size_t dash = span.find('-');
        CommandLineEdits::Span s{};
        if (dash == std::string::npos || !ReadTime(span.substr(0, dash), s.start) ||
            !ReadTime(span.substr(dash + 1), s.end) || s.end <= s.start)
            return Bad(error, "exclude", span, "START-END in seconds or [HH:]MM:SS, such as 1:30-2:05.5");
        e.excluded.push_back(s);
    }
    return true;
}

bool ReadSoundEdits(const ToolCommandLine& line, CommandLineEdits& e, std::string& error) {
    if (line.IsSet("sound")) {
        const std::string name = line.Value("sound");
        const SoundTypeInfo* type = name == "copy" ? nullptr : SoundTypeTable::FindByName(name);
        if (name == "copy") e.copySound = true;
        else if (!type || !type->IsAvailable()) return Bad(error, "sound", name, "copy or a sound format this program has (" + SoundCodecNames() + ")");
        else e.soundType = type->type;
    }
    if (line.IsSet("sound-bitrate")) {
        int64_t bits = 0;
        if (!ReadBitRate(line.Value("sound-bitrate"), bits) || bits > 1536000)
            return Bad(error, "sound-bitrate", line.Value("sound-bitrate"), "kilobits per second, such as 128");
        e.soundBitRate = int(bits);
    }
    int32_t value = 0;
    if (line.IsSet("sound-rate")) {
        if (!ReadInt(line.Value("sound-rate"), 8000, 192000, value)) return Bad(error, "sound-rate", line.Value("sound-rate"), "samples per second from 8000 to 192000");
        e.soundRate = value;
    }
    if (line.IsSet("channels")) {
        if (!ReadInt(line.Value("channels"), 1, 8, value)) return Bad(error, "channels", line.Value("channels"), "1 to 8");
        e.channels = value;
    }
    if (e.copySound && (e.soundBitRate || e.soundRate || e.channels)) {
        error = "--sound copy keeps the sound as it is; leave out --sound-bitrate, --sound-rate and --channels";
        return false;
    }
    return true;
}

// The whole settings container of a segment, changed the way the
// settings dialog changes it: atoms it does not know stay.
template <class Values, class Change, class Patch>
void EditSegment(Handle* segment, Change change, Patch patch) {
    AtomContainer container;
    if (!segment || !AtomContainer::TryParse(*segment, container)) return;
    const Values before = Values::FromContainer(container);
    Values after = before;
    change(after);
    patch(container, before, after);
    *segment = container.ToHandle();
}

bool ApplyPicture(const CommandLineEdits& e, CTambleVideoDocModel& model, std::string& error) {
    if (e.rotation) model.SetRotation(*e.rotation);
    if (e.flipHorizontal) model.SetFlipHorizontal(true);
    if (e.flipVertical) model.SetFlipVertical(true);
    if (e.crop) {
        const bool turned = model.GetRotation() == 90 || model.GetRotation() == 270;
        const int32_t width = turned ? model.GetDisplayHeight() : model.GetDisplayWidth();
        const int32_t height = turned ? model.GetDisplayWidth() : model.GetDisplayHeight();
        const auto& c = *e.crop;
        if (c.left + c.width > width || c.top + c.height > height) {
            error = "--crop " + std::to_string(c.width) + "x" + std::to_string(c.height) + "+" + std::to_string(c.left) +
                    "+" + std::to_string(c.top) + " reaches outside the " + std::to_string(width) + " x " +
                    std::to_string(height) + " picture";
            return false;
        }
        model.SetCrop(c.left, c.top, c.left + c.width, c.top + c.height);
    }
    if (e.width > 0 || e.height > 0) {
        model.SetCustomSize(true);
        model.SetConstrainProportions(e.width == 0 || e.height == 0);
        if (e.width > 0) model.SetOutputWidth(e.width);
        if (e.height > 0) model.SetOutputHeight(e.height);
        // Most codecs take even sizes only: the side worked out follows.
        const int32_t w = model.GetOutputWidth(), h = model.GetOutputHeight();
        if ((e.width == 0 || e.height == 0) && ((w | h) & 1)) {
            model.SetConstrainProportions(false);
            model.SetOutputWidth(w + (w & 1));
            model.SetOutputHeight(h + (h & 1));
        }
    }
    if (!e.watermark.empty()) {
        std::error_code ec;
        const fs::path file = fs::absolute(e.watermark, ec);
        FSSpec spec;
        if (ec || !fs::is_regular_file(file, ec) || FSSpec::FromPath(file.lexically_normal().string(), spec) != noErr) {
            error = "the watermark picture \"" + e.watermark + "\" cannot be found";
            return false;
        }
        model.SetWatermarkFile(spec);
    }
    if (e.placement) model.SetWatermarkPlacement(*e.placement);
    return true;
}

bool ApplyExcluded(const CommandLineEdits& e, CTambleVideoDocModel& model, std::string& error) {
    const STimeValue duration = model.GetDuration();
    const double seconds = duration.scale > 0 ? double(duration.value) / duration.scale : 0;
    for (const auto& span : e.excluded) {
        if (span.start >= seconds) {
            char text[96];
            std::snprintf(text, sizeof text, "--exclude starts at %g s, after the movie's end (%g s)", span.start, seconds);
            error = text;
            return false;
        }
        auto at = [&](double s) { return STimeValue{int32_t(std::lround(std::min(s, seconds) * duration.scale)), duration.scale}; };
        model.AddExcludedRange(TimeRange(at(span.start), at(span.end)));
    }
    return true;
}

void ApplyVideoSettings(const CommandLineEdits& e, CTambleVideoDocModel& model) {
    for (int32_t i = 1; i <= model.VideoSegmentCount(); ++i) {
        if (e.codec || e.dataRate) {
            EditSegment<VideoSettings>(model.GetVideoSegment(i), [&](VideoSettings& v) {
                if (e.codec) v.codecType = *e.codec;
                if (e.dataRate) v.dataRate = *e.dataRate;
            }, PatchVideoSettings);
            model.VideoSegmentChanged();
        }
        if (e.quality) model.SetSegmentQuality(i, *e.quality);
    }
}

bool ApplySound(const CommandLineEdits& e, CTambleVideoDocModel& model, std::string& error) {
    if (!model.HasAudio() || !e.TouchesSound()) return true;
    if (e.copySound) {
        model.DisposeAllAudioSegments();
        model.AudioSegmentChanged();
        return true;
    }
    if (model.AudioSegmentCount() == 0)
        model.AddAudioSegment(std::make_unique<Handle>(MakeSoundSettings(FourCC("aac "), 0, 16, 0, {{"bitrate", "128000"}})),
                              STimeValue{0, model.GetDuration().scale});
    for (int32_t i = 1; i <= model.AudioSegmentCount(); ++i) {
        bool refused = false;
        EditSegment<SoundSettings>(model.GetAudioSegment(i), [&](SoundSettings& s) {
            if (e.soundType) s.compressionType = *e.soundType;
            const SoundTypeInfo* type = SoundTypeTable::Find(s.compressionType);
            if (e.soundBitRate) {
                refused = !type || !type->hasBitRate;
                for (auto& option : s.options)
                    if (option.first == "bitrate") option.second = std::to_string(*e.soundBitRate);
                if (FindEncoderOption(s.options, "bitrate").empty()) s.options.emplace_back("bitrate", std::to_string(*e.soundBitRate));
            } else if (e.soundType && type && !type->hasBitRate) {
                std::erase_if(s.options, [](const auto& option) { return option.first == "bitrate"; });
            }
            if (e.soundRate) s.sampleRate = uint32_t(*e.soundRate) << 16;
            if (e.channels) s.channels = int16_t(*e.channels);
        }, PatchSoundSettings);
        if (refused) {
            error = "--sound-bitrate: " + SoundTypeTable::NameOf(SoundSettings::FromHandle(*model.GetAudioSegment(i)).compressionType) +
                    " has no bit rate to choose";
            return false;
        }
    }
    model.AudioSegmentChanged();
    return true;
}

}  // namespace

void AddEditOptions(ToolCommandLine& line) {
    auto value = [&](const char* name, const char* valueName, const std::string& help) {
        line.AddValue({QString::fromLatin1(name)}, QString::fromLatin1(valueName), QString::fromStdString(help));
    };
    value("codec", "NAME", "Video codec for every segment: " + VideoCodecNames() + ".");
    value("quality", "Q", "Picture quality: 0 to 100 (50 normal, 75 high, 100 lossless) or " + NamesOf(kQualities) + ".");
    value("data-rate", "KBPS", "Limit the video to this many kilobits per second (2500, 2.5M).");
    value("size", "WxH", "Output size, such as 1280x720; 1280x or x720 keeps the proportions (to an even number).");
    value("crop", "WxH+X+Y", "Keep only this part of the (turned) picture, such as 640x360+0+60.");
    value("rotate", "DEGREES", "Turn the picture: 90, 180, 270, left or right.");
    value("flip", "WAY", "Mirror the picture: horizontal, vertical or both.");
    value("watermark", "FILE", "Lay this picture over every frame.");
    value("placement", "WHERE", "Where the watermark sits: " + NamesOf(kPlacements) + " (bottom-right).");
    value("exclude", "START-END", "Leave this span out, in seconds or [HH:]MM:SS; may be given again.");
    value("sound", "CODEC", "Sound format of the first sound track: copy, " + SoundCodecNames() + ".");
    value("sound-bitrate", "KBPS", "Sound bit rate in kilobits per second.");
    value("sound-rate", "HZ", "Sound sample rate, such as 48000.");
    value("channels", "N", "Number of sound channels, 1 to 8.");
}

bool ReadEdits(const ToolCommandLine& line, CommandLineEdits& edits, std::string& error) {
    edits = CommandLineEdits();
    return ReadVideoEdits(line, edits, error) && ReadPictureEdits(line, edits, error) &&
           ReadSoundEdits(line, edits, error);
}

bool ApplyEdits(const CommandLineEdits& edits, CTambleVideoDocModel& model, std::string& error) {
    if (!ApplyPicture(edits, model, error) || !ApplyExcluded(edits, model, error)) return false;
    ApplyVideoSettings(edits, model);
    return ApplySound(edits, model, error);
}

std::string VideoCodecNames() {
    std::vector<std::string> seen;
    std::string names;
    for (const VideoCodecInfo& codec : VideoCodecTable::All()) {
        // "None" is the uncompressed codec; "raw" says so on a command line.
        const std::string name = codec.type == FourCC("raw ") ? "raw" : NormalisedCodecName(codec.name);
        if (!codec.IsAvailable() || std::find(seen.begin(), seen.end(), name) != seen.end()) continue;
        seen.push_back(name);
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}

std::string SoundCodecNames() {
    std::string names;
    for (const SoundTypeInfo& type : SoundTypeTable::All())
        if (type.IsAvailable() && type.type != FourCC("NONE"))
            names += (names.empty() ? "" : ", ") + NormalisedCodecName(FourCCToString(type.type));
    return names;
}
