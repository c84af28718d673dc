#include "platform/media/source/Deinterlacer.h"

#include <string>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

bool Deinterlacer::Next(AVFrame* into, const std::function<bool(AVFrame*)>& decode) {
    for (;;) {
        if (mSink && av_buffersink_get_frame(mSink, into) >= 0) {
            // The filter counts in half frames; the stamps go back to the stream's.
            if (into->pts != AV_NOPTS_VALUE)
                into->pts = av_rescale_q(into->pts, av_buffersink_get_time_base(mSink), mTimeBase);
            return true;
        }
        if (mHolding) {  // the pictures changed size: a new filter for the new ones
            mHolding = false;
            mFinished = false;
            if (!Start(mHeld.get())) {
                av_frame_move_ref(into, mHeld.get());
                return true;
            }
            if (av_buffersrc_add_frame(mSource, mHeld.get()) < 0) av_frame_unref(mHeld.get());
            continue;
        }
        if (mFinished) return false;
        if (!decode(into)) {
            if (!mSink) return false;
            CloseInput();
            mFinished = true;
            continue;
        }
        mSawInterlaced = mSawInterlaced || into->interlaced_frame;
        if (mRefused || (!mSink && !into->interlaced_frame)) return true;
        if (!mSink) {
            if (!Start(into)) return true;
        } else if (!Fits(into)) {
            av_frame_move_ref(mHeld.get(), into);
            mHolding = true;
            CloseInput();
            continue;
        }
        if (into->pts == AV_NOPTS_VALUE) into->pts = into->best_effort_timestamp;
        // The filter takes the frame's reference; a frame it refuses is lost
        // as a frame the decoder could not read would be.
        if (av_buffersrc_add_frame(mSource, into) < 0) av_frame_unref(into);
    }
}

void Deinterlacer::CloseInput() {
    // Failing, it has nothing more to give either: the sink ends the same way.
    if (av_buffersrc_add_frame(mSource, nullptr) < 0) mSink = nullptr;
}

void Deinterlacer::Reset() {
    mGraph.reset();
    mSource = mSink = nullptr;
    av_frame_unref(mHeld.get());
    mHolding = mFinished = false;
}

bool Deinterlacer::Fits(const AVFrame* frame) const {
    return frame->width == mWidth && frame->height == mHeight && frame->format == mFormat;
}

bool Deinterlacer::Start(const AVFrame* first) {
    mSource = mSink = nullptr;
    mGraph.reset(avfilter_graph_alloc());
    const AVRational aspect = first->sample_aspect_ratio.num > 0 ? first->sample_aspect_ratio : AVRational{1, 1};
    const std::string args = "video_size=" + std::to_string(first->width) + "x" + std::to_string(first->height) +
                             ":pix_fmt=" + std::to_string(first->format) + ":time_base=" +
                             std::to_string(mTimeBase.num) + "/" + std::to_string(mTimeBase.den) +
                             ":pixel_aspect=" + std::to_string(aspect.num) + "/" + std::to_string(aspect.den);
    AVFilterContext *source = nullptr, *weave = nullptr, *sink = nullptr;
    // bwdif: motion-adaptive, a frame for each frame (not one per field),
    // only frames marked interlaced, field order from the frames.
    const bool made =
        mGraph &&
        avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", args.c_str(), nullptr,
                                     mGraph.get()) >= 0 &&
        avfilter_graph_create_filter(&weave, avfilter_get_by_name("bwdif"), "weave",
                                     "mode=send_frame:parity=auto:deint=interlaced", nullptr, mGraph.get()) >= 0 &&
        avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                     mGraph.get()) >= 0 &&
        avfilter_link(source, 0, weave, 0) >= 0 && avfilter_link(weave, 0, sink, 0) >= 0 &&
        avfilter_graph_config(mGraph.get(), nullptr) >= 0;
    // The pictures must come out in the form they went in: a filter that
    // would convert them (a format it does not take) is not used at all.
    if (!made || av_buffersink_get_format(sink) != first->format || av_buffersink_get_w(sink) != first->width ||
        av_buffersink_get_h(sink) != first->height) {
        mGraph.reset();
        mRefused = true;
        return false;
    }
    mSource = source;
    mSink = sink;
    mWidth = first->width;
    mHeight = first->height;
    mFormat = first->format;
    return true;
}
