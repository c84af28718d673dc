#include "platform/media/encode/OutputColour.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

const AVPixFmtDescriptor* Describe(const std::string& format) {
    return av_pix_fmt_desc_get(av_get_pix_fmt(format.c_str()));
}

bool IsYuv(const AVPixFmtDescriptor* d) {
    return d && d->nb_components >= 3 && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

// Matrices the scaler can make YUV with (BT.709, FCC, BT.601, SMPTE 240M, BT.2020).
bool CanMakeMatrix(int matrix) {
    return matrix == colour::kBt709 || matrix == 4 || matrix == colour::kBt470bg || matrix == colour::kSmpte170m ||
           matrix == 7 || matrix == colour::kBt2020;
}

}  // namespace

OutputColour OutputColour::Choose(const ColourDescription& tagged, int width, int height, const VideoCodecInfo& codec,
                                  int depth) {
    OutputColour c;
    c.source = tagged.WithConventions(width, height);
    const std::string usual = VideoCodecTable::PixelFormatForDepth(codec, depth);
    const bool yuv = IsYuv(Describe(usual));
    const std::string deepest = VideoCodecTable::PixelFormatForColour(codec, depth, 16);
    const bool canBeDeep = yuv && Describe(deepest) && Describe(deepest)->comp[0].depth > 8;

    c.output = c.source;
    if (c.source.IsHdr() && !canBeDeep) {
        c.toneMap = true;
        c.output = ColourDescription::Bt709();
        c.note = "The HDR pictures are tone-mapped to SDR (BT.709), as " + std::string(codec.name) +
                 " cannot hold them.";
    }
    if (!yuv) {
        c.output.matrix = colour::kRgb;
        c.output.fullRange = true;
    } else if (usual.rfind("yuvj", 0) == 0) {
        // JPEG pictures are BT.601 in the full range by definition.
        c.output.matrix = colour::kBt470bg;
        c.output.fullRange = true;
    } else if (!CanMakeMatrix(c.output.matrix)) {
        const int usualMatrix = ColourDescription{}.WithConventions(width, height).matrix;
        c.output.matrix = c.output.primaries == colour::kBt2020 ? colour::kBt2020 : usualMatrix;
    }
    // Deep where the source is deep or HDR, and the codec can be.
    const bool deep = canBeDeep && (c.source.bitDepth > 8 || c.output.IsHdr());
    c.pixelFormat = VideoCodecTable::PixelFormatForColour(codec, depth, deep ? 16 : 8);
    const AVPixFmtDescriptor* chosen = Describe(c.pixelFormat);
    c.output.bitDepth = chosen ? chosen->comp[0].depth : 8;
    return c;
}

bool OutputColour::PlanarWorld(OffscreenWorld::Format& format) const {
    if (pixelFormat == "yuv420p") format = OffscreenWorld::Format::YUV420P;
    else if (pixelFormat == "yuv420p10le") format = OffscreenWorld::Format::YUV420P10;
    else return false;
    return true;
}
