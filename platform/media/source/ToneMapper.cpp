#include "platform/media/source/ToneMapper.h"

#include <cstdio>
#include <string>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace {

// Linear light at 100 nits of reference white, mapped in float RGB with
// BT.709 primaries, then back to video-range BT.709 YUV.
constexpr const char* kToneMapChain =
    "zscale=transfer=linear:npl=100,format=gbrpf32le,zscale=primaries=bt709,"
    "tonemap=tonemap=hable:desat=0,zscale=transfer=bt709:matrix=bt709:range=tv,format=yuv420p";

}  // namespace

bool ToneMapper::Build(const AVFrame* frame) {
    mGraph.reset(avfilter_graph_alloc());
    mIn = mOut = nullptr;
    if (!mGraph) return false;
    mGraph->nb_threads = 0;
    char args[160];
    std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=1/1:pixel_aspect=1/1", frame->width,
                  frame->height, frame->format);
    if (avfilter_graph_create_filter(&mIn, avfilter_get_by_name("buffer"), "in", args, nullptr, mGraph.get()) < 0 ||
        avfilter_graph_create_filter(&mOut, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                     mGraph.get()) < 0)
        return false;
    media::av::FilterInOut outputs(avfilter_inout_alloc()), inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) return false;
    outputs->name = av_strdup("in");
    outputs->filter_ctx = mIn;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = mOut;
    AVFilterInOut* in = inputs.release();
    AVFilterInOut* out = outputs.release();
    const int rc = avfilter_graph_parse_ptr(mGraph.get(), kToneMapChain, &in, &out, nullptr);
    avfilter_inout_free(&in);
    avfilter_inout_free(&out);
    if (rc < 0 || avfilter_graph_config(mGraph.get(), nullptr) < 0) return false;
    mWidth = frame->width;
    mHeight = frame->height;
    mFormat = frame->format;
    return true;
}

const AVFrame* ToneMapper::Apply(const AVFrame* source) {
    if (!source || !mMapped || !mInput) return nullptr;
    // The decoder's frame stays as it is; the graph gets a reference carrying the source's labels.
    av_frame_unref(mInput.get());
    if (av_frame_ref(mInput.get(), source) < 0) return nullptr;
    AVFrame* frame = mInput.get();
    frame->color_primaries = AVColorPrimaries(mSource.primaries);
    frame->color_trc = AVColorTransferCharacteristic(mSource.transfer);
    frame->colorspace = AVColorSpace(mSource.matrix);
    frame->color_range = mSource.fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if ((!mGraph || frame->width != mWidth || frame->height != mHeight || frame->format != mFormat) && !Build(frame)) {
        mGraph.reset();
        return nullptr;
    }
    av_frame_unref(mMapped.get());
    if (av_buffersrc_add_frame_flags(mIn, frame, 0) < 0) return nullptr;
    if (av_buffersink_get_frame(mOut, mMapped.get()) < 0) return nullptr;
    return mMapped.get();
}
