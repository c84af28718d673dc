// HDR pictures (PQ or HLG) brought down to SDR for outputs that cannot
// hold them: to linear light, the Hable curve, then BT.709 in 8 bits, all
// in one libavfilter graph built for the first frame's size and format.
#pragma once

#include "platform/media/AVHandles.h"
#include "platform/media/ColourDescription.h"

class ToneMapper {
public:
    // `source` is what the frames' numbers mean (untagged values filled in).
    explicit ToneMapper(const ColourDescription& source) : mSource(source) {}

    // The SDR picture of `frame` (whose tags are set from the source's
    // description), in yuv420p BT.709; valid until the next call. Null when
    // the graph cannot be built or runs dry.
    const AVFrame* Apply(const AVFrame* frame);

private:
    bool Build(const AVFrame* frame);

    ColourDescription mSource;
    media::av::FilterGraph mGraph;
    AVFilterContext* mIn = nullptr;
    AVFilterContext* mOut = nullptr;
    int mWidth = 0, mHeight = 0, mFormat = -1;
    media::av::Frame mInput = media::av::MakeFrame();  // a reference, relabelled
    media::av::Frame mMapped = media::av::MakeFrame();
};
