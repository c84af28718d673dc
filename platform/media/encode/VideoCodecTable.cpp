#include "platform/media/encode/VideoCodecTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/media/AVHandles.h"
#include "platform/media/encode/CodecNames.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// How each encoder family is driven.
struct Tunings {
    EncoderTuning quantiser, x264, x265, vpx, svtav1;
    Tunings() {
        // MJPEG, SVQ1, MPEG-4 and ProRes: one fixed quantiser for every frame.
        quantiser.fixedQuantiser = true;
        quantiser.qualityOptions = {{"qmin", "1"}, {"qmax", "31"}};
        quantiser.rateOptions = {{"qmin", "2"}, {"qmax", "31"}};
        // Parameter sets in every key frame, so that segments made by
        // different encoders join in one track.
        x264.qualityOption = "crf";
        x264.losslessOptions = {{"qp", "0"}};
        x264.paramsOption = "x264-params";
        x264.params = "repeat-headers=1";
        x264.headersInBand = x264.reorders = true;
        x265.qualityOption = "crf";
        x265.paramsOption = "x265-params";
        x265.params = "repeat-headers=1:log-level=error";
        x265.inOrderParams = "bframes=0";
        x265.losslessParams = "lossless=1";
        x265.headersInBand = x265.reorders = true;
        vpx.options = {{"row-mt", "1"}, {"deadline", "good"}, {"cpu-used", "4"}};  // speed over the last percent
        vpx.qualityOptions = {{"b", "0"}};  // constant quality
        vpx.losslessOptions = {{"lossless", "1"}};
        vpx.qualityOption = "crf";
        svtav1.qualityOption = "crf";
        svtav1.qualityFallback = "qp";  // older wrappers of SVT-AV1 have no crf option
        svtav1.capsDataRate = false;
        svtav1.endsStreamOnClose = true;
    }
};

std::vector<VideoCodecInfo> MakeTable() {
    using Q = QualityScale;
    const Tunings tune;
    std::vector<VideoCodecInfo> t;
    auto add = [&](const char (&type)[5], const char* name, const char* encoder,
                   std::vector<std::string> pixelFormats, Q scale) -> VideoCodecInfo& {
        VideoCodecInfo info;
        info.type = FourCC(type);
        info.name = name;
        info.encoder = encoder;
        info.pixelFormats = std::move(pixelFormats);
        info.scale = scale;
        t.push_back(std::move(info));
        return t.back();
    };
    auto& raw = add("raw ", "None", "rawvideo", {"rgb24"}, Q::None);
    raw.hasDepthChoice = true;
    raw.hasLossless = true;
    auto& jpeg = add("jpeg", "Photo - JPEG", "mjpeg", {"yuvj420p"}, Q::QScale);
    jpeg.mp4Allowed = jpeg.hasDataRate = true;
    jpeg.tuning = tune.quantiser;
    auto& mjpa = add("mjpa", "Motion JPEG A", "mjpeg", {"yuvj420p"}, Q::QScale);
    mjpa.mp4Allowed = mjpa.hasDataRate = true;
    mjpa.tuning = tune.quantiser;
    auto& png = add("png ", "PNG", "png", {"rgb24"}, Q::None);
    png.hasDepthChoice = true;
    png.hasLossless = true;
    png.mp4Allowed = true;
    auto& rle = add("rle ", "Animation", "qtrle", {"rgb24"}, Q::None);
    rle.hasDepthChoice = true;
    rle.hasLossless = true;
    rle.hasTemporal = true;
    add("rpza", "Video", "rpza", {"rgb555le"}, Q::None).hasTemporal = true;
    add("smc ", "Graphics", "smc", {"pal8"}, Q::None).hasTemporal = true;
    auto& cvid = add("cvid", "Cinepak", "cinepak", {"rgb24"}, Q::None);
    cvid.hasTemporal = true;
    cvid.blockSize = 4;
    auto& svq1 = add("SVQ1", "Sorenson Video", "svq1", {"yuv410p"}, Q::QScale);
    svq1.hasTemporal = svq1.hasDataRate = true;
    svq1.tuning = tune.quantiser;
    auto& mp4v = add("mp4v", "MPEG-4 Video", "mpeg4", {"yuv420p"}, Q::QScale);
    mp4v.hasTemporal = mp4v.hasDataRate = mp4v.mp4Allowed = true;
    mp4v.tuning = tune.quantiser;
    auto& avc1 = add("avc1", "H.264", "libx264", {"yuv420p"}, Q::X264Crf);
    avc1.hasTemporal = avc1.hasDataRate = avc1.mp4Allowed = avc1.hasSpeedPreset = avc1.hasLossless = true;
    avc1.tuning = tune.x264;
    auto& hvc1 = add("hvc1", "HEVC", "libx265", {"yuv420p", "yuv420p10le"}, Q::X265Crf);
    hvc1.hasTemporal = hvc1.hasDataRate = hvc1.mp4Allowed = hvc1.hasSpeedPreset = hvc1.hasLossless = true;
    hvc1.tuning = tune.x265;
    auto& vp09 = add("vp09", "VP9", "libvpx-vp9", {"yuv420p", "yuv420p10le"}, Q::VpxCrf);
    vp09.hasTemporal = vp09.hasDataRate = vp09.mp4Allowed = vp09.hasSpeedPreset = vp09.hasLossless = true;
    vp09.movAllowed = false;
    vp09.tuning = tune.vpx;
    auto& av01 = add("av01", "AV1", "libsvtav1", {"yuv420p", "yuv420p10le"}, Q::SvtAv1Crf);
    av01.hasTemporal = av01.hasDataRate = av01.mp4Allowed = av01.hasSpeedPreset = true;
    av01.movAllowed = false;
    av01.tuning = tune.svtav1;
    // Each flavour is its own encoder profile: quantiser matrices and data
    // rates from Proxy (smallest) to HQ; 4444 keeps full colour resolution.
    const struct { const char (&type)[5]; const char* name; const char* profile; const char* format; } prores[] = {
        {"apcn", "ProRes 422", "standard", "yuv422p10le"},
        {"apch", "ProRes 422 HQ", "hq", "yuv422p10le"},
        {"apcs", "ProRes 422 LT", "lt", "yuv422p10le"},
        {"apco", "ProRes 422 Proxy", "proxy", "yuv422p10le"},
        {"ap4h", "ProRes 4444", "4444", "yuv444p10le"},
    };
    for (const auto& p : prores) {
        auto& flavour = add(p.type, p.name, "prores_ks", {p.format}, Q::ProResQScale);
        flavour.encoderProfile = p.profile;
        flavour.tuning = tune.quantiser;
    }
    return t;
}

// Encoder figures at spatial quality 0, 0x100, 0x200, 0x300 and 0x3FF.
struct QualityPoints {
    double at[5];
    bool integral;  // the encoder takes whole numbers only
    const char* label;
};

const QualityPoints* PointsFor(QualityScale scale) {
    static const QualityPoints x264{{40, 30, 23, 18, 12}, false, "CRF"};
    static const QualityPoints x265{{40, 33, 28, 23, 16}, false, "CRF"};
    static const QualityPoints vpx{{56, 45, 33, 25, 15}, true, "CRF"};
    static const QualityPoints svtav1{{58, 46, 35, 27, 18}, true, "CRF"};
    static const QualityPoints qscale{{31, 12, 5, 3, 1}, true, "q"};
    static const QualityPoints prores{{31, 16, 8, 4, 2}, true, "q"};
    switch (scale) {
    case QualityScale::X264Crf: return &x264;
    case QualityScale::X265Crf: return &x265;
    case QualityScale::VpxCrf: return &vpx;
    case QualityScale::SvtAv1Crf: return &svtav1;
    case QualityScale::QScale: return &qscale;
    case QualityScale::ProResQScale: return &prores;
    case QualityScale::None: break;
    }
    return nullptr;
}

}  // namespace

bool VideoCodecInfo::IsAvailable() const {
    // The rpza encoder of FFmpeg before 6.1 writes past its buffers on
    // ordinary frame sizes; a crash is worse than a missing codec.
    if (type == FourCC("rpza") && LIBAVCODEC_VERSION_INT < AV_VERSION_INT(60, 31, 0)) return false;
    static std::map<std::string, bool> known;  // encoder lookups are not free; ask once
    auto it = known.find(encoder);
    if (it == known.end()) it = known.emplace(encoder, avcodec_find_encoder_by_name(encoder) != nullptr).first;
    return it->second;
}

namespace {

// Only formats the encoder takes and the mov and mp4 muxers store so that
// they read back: mov cannot hold 1-bit raw frames, and the Animation
// encoder has neither a 1-bit nor a palette format; PNG has no
// thousands-of-colours format.
struct DepthChoice {
    OSType type;
    int depth;
    const char* format;
};

const std::vector<DepthChoice>& DepthChoices() {
    constexpr OSType png = FourCC("png "), rle = FourCC("rle "), raw = FourCC("raw ");
    static const std::vector<DepthChoice> choices = {
        {png, 1, "monob"}, {png, 2, "gray"}, {png, 4, "gray"}, {png, 8, "pal8"},
        {png, 32, "rgba"},
        {rle, 1, "gray"},  {rle, 2, "gray"}, {rle, 4, "gray"}, {rle, 8, "gray"},
        {rle, 16, "rgb555be"}, {rle, 32, "argb"},
        {raw, 1, "gray"},  {raw, 2, "gray"}, {raw, 4, "gray"}, {raw, 8, "pal8"},
        {raw, 16, "rgb555be"}, {raw, 32, "argb"},
    };
    return choices;
}

// The depth of the codec's usual pixel format: 8 for a palette, 16 for
// 15- and 16-bit RGB, 32 with alpha, else millions of colours (24).
int UsualDepth(const VideoCodecInfo& codec) {
    if (codec.pixelFormats.empty()) return 24;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(av_get_pix_fmt(codec.pixelFormats.front().c_str()));
    if (desc == nullptr) return 24;
    if (desc->flags & AV_PIX_FMT_FLAG_ALPHA) return 32;
    if (desc->flags & AV_PIX_FMT_FLAG_PAL) return 8;
    if ((desc->flags & AV_PIX_FMT_FLAG_RGB) && av_get_bits_per_pixel(desc) <= 16) return 16;
    return 24;
}

}  // namespace

namespace VideoCodecTable {

const std::vector<VideoCodecInfo>& All() {
    static const std::vector<VideoCodecInfo> table = MakeTable();
    return table;
}

const VideoCodecInfo* Find(OSType type) {
    for (const auto& info : All())
        if (info.type == type) return &info;
    return nullptr;
}

const VideoCodecInfo* FindByName(std::string_view name) {
    for (const auto& info : All())
        if (CodecNameMatches(name, info.type, info.name, info.encoder)) return &info;
    return nullptr;
}

std::string NameOf(OSType type) {
    const VideoCodecInfo* info = Find(type);
    return info ? info->name : FourCCToString(type);
}

QualityValue MapQuality(const VideoCodecInfo& codec, int spatialQuality) {
    QualityValue result;
    result.scale = codec.scale;
    const int q = std::clamp(spatialQuality, kMinQuality, kLosslessQuality);
    if (q == kLosslessQuality && codec.hasLossless && codec.scale != QualityScale::None) {
        result.lossless = true;
        return result;
    }
    const QualityPoints* points = PointsFor(codec.scale);
    if (!points) {
        result.lossless = codec.hasLossless;
        return result;
    }
    const int stops[5] = {kMinQuality, kLowQuality, kNormalQuality, kHighQuality, kMaxQuality};
    double value = points->at[4];
    for (int i = 0; i < 4; ++i) {
        if (q <= stops[i + 1]) {
            const double f = double(q - stops[i]) / double(stops[i + 1] - stops[i]);
            value = points->at[i] + f * (points->at[i + 1] - points->at[i]);
            break;
        }
    }
    if (points->integral)
        value = std::round(value);
    else
        value = std::round(value * 10) / 10;  // tenths are as fine as anyone can see
    result.value = value;
    return result;
}

std::string QualityText(const VideoCodecInfo& codec, int spatialQuality) {
    const QualityValue v = MapQuality(codec, spatialQuality);
    if (v.lossless) return "lossless";
    const QualityPoints* points = PointsFor(codec.scale);
    if (!points) return "fixed quality";
    char text[32];
    std::snprintf(text, sizeof text, points->integral ? "%s %.0f" : "%s %g", points->label, v.value);
    return text;
}

std::string PixelFormatForDepth(const VideoCodecInfo& codec, int depth) {
    const std::string usual = codec.pixelFormats.empty() ? std::string() : codec.pixelFormats.front();
    if (!codec.hasDepthChoice) return usual;
    for (const DepthChoice& c : DepthChoices())
        if (codec.type == c.type && depth == c.depth) return c.format;
    return usual;
}

std::vector<int> WritableDepths(const VideoCodecInfo& codec) {
    const int usual = UsualDepth(codec);
    std::vector<int> depths{usual};
    if (codec.hasDepthChoice)
        for (const DepthChoice& c : DepthChoices())
            if (c.type == codec.type) depths.push_back(c.depth);
    std::sort(depths.begin(), depths.end());
    depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
    return depths;
}

int WrittenDepth(const VideoCodecInfo& codec, int depth) {
    const std::vector<int> depths = WritableDepths(codec);
    return std::find(depths.begin(), depths.end(), depth) != depths.end() ? depth : UsualDepth(codec);
}

std::string PixelFormatForColour(const VideoCodecInfo& codec, int depth, int bitDepth) {
    const std::string usual = PixelFormatForDepth(codec, depth);
    auto bits = [](const std::string& name) {
        const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(av_get_pix_fmt(name.c_str()));
        return d && d->nb_components >= 3 && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) ? d->comp[0].depth : 0;
    };
    if (bitDepth <= 8 || bits(usual) > 8) return usual;
    for (const std::string& format : codec.pixelFormats)
        if (bits(format) > 8) return format;
    return usual;
}

FrameSteps FrameStepsFor(const VideoCodecInfo& codec, int depth) {
    FrameSteps steps{codec.blockSize, codec.blockSize};
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(av_get_pix_fmt(PixelFormatForDepth(codec, depth).c_str()));
    if (d && d->nb_components >= 3 && !(d->flags & AV_PIX_FMT_FLAG_RGB)) {
        steps.across = std::max(steps.across, 1 << d->log2_chroma_w);
        steps.down = std::max(steps.down, 1 << d->log2_chroma_h);
    }
    return steps;
}

std::string FrameStepsRule(const VideoCodecInfo& codec, FrameSteps steps) {
    auto side = [](int step, const char* name) {
        return std::string(step == 2 ? "an even " : "a ") + name + (step > 2 ? " in multiples of " + std::to_string(step) : "");
    };
    std::string rule = std::string(codec.name) + " needs ";
    if (steps.across == steps.down)
        rule += steps.across == 2 ? "an even width and height" : "a width and height in multiples of " + std::to_string(steps.across);
    else if (steps.down == 1)
        rule += side(steps.across, "width");
    else if (steps.across == 1)
        rule += side(steps.down, "height");
    else
        rule += side(steps.across, "width") + " and " + side(steps.down, "height");
    return rule;
}

}  // namespace VideoCodecTable

