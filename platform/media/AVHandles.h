// Owning wrappers for FFmpeg objects. Every FFmpeg allocation in the media
// layer lives in one of these, so early returns and exceptions never leak.
// Include from platform/media/*.cpp only: the rest of the program never sees
// an FFmpeg header.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace media::av {

struct FormatInputDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct FormatOutputDeleter {
    void operator()(AVFormatContext* c) const {
        if (c && c->pb && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(struct SwsContext* s) const { sws_freeContext(s); }
};
struct SwrDeleter {
    void operator()(struct SwrContext* s) const { swr_free(&s); }
};
struct FilterGraphDeleter {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};

using FormatInput = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using FormatOutput = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using SwsContext = std::unique_ptr<struct SwsContext, SwsDeleter>;
using SwrContext = std::unique_ptr<struct SwrContext, SwrDeleter>;
using FilterGraph = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

// A decoded subtitle; its rectangles go with it.
struct Subtitle {
    AVSubtitle value{};
    Subtitle() = default;
    ~Subtitle() { avsubtitle_free(&value); }
    Subtitle(const Subtitle&) = delete;
    Subtitle& operator=(const Subtitle&) = delete;
};

inline Frame MakeFrame() { return Frame(av_frame_alloc()); }
inline Packet MakePacket() { return Packet(av_packet_alloc()); }

inline std::string ErrorText(int averror) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, buf, sizeof buf);
    return buf;
}

}  // namespace media::av

// Filter graph inputs/outputs and buffer pools (effects, image scaling).
extern "C" {
#include <libavutil/buffer.h>
}

namespace media::av {

struct FilterInOutDeleter {
    void operator()(AVFilterInOut* io) const { avfilter_inout_free(&io); }
};
struct BufferPoolDeleter {
    void operator()(AVBufferPool* p) const { av_buffer_pool_uninit(&p); }
};

using FilterInOut = std::unique_ptr<AVFilterInOut, FilterInOutDeleter>;
using BufferPool = std::unique_ptr<AVBufferPool, BufferPoolDeleter>;

}  // namespace media::av
