#include "platform/media/effects/EffectGraph.h"

#include <cstring>

#include "platform/media/AVHandles.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace av = media::av;

namespace {

constexpr AVPixelFormat kGraphFormat = AV_PIX_FMT_RGB24;

AVFilterContext* MakeSource(AVFilterGraph* graph, const char* name, int width, int height) {
    const std::string args = "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
                             ":pix_fmt=" + std::to_string(int(kGraphFormat)) + ":time_base=1/25:pixel_aspect=1/1";
    AVFilterContext* source = nullptr;
    if (avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), name, args.c_str(), nullptr, graph) < 0)
        return nullptr;
    return source;
}

AVFilterContext* MakeSink(AVFilterGraph* graph) {
    AVFilterContext* sink = avfilter_graph_alloc_filter(graph, avfilter_get_by_name("buffersink"), "out");
    if (!sink) return nullptr;
    const AVPixelFormat formats[] = {kGraphFormat, AV_PIX_FMT_NONE};
    if (av_opt_set_int_list(sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN) < 0) return nullptr;
    if (avfilter_init_str(sink, nullptr) < 0) return nullptr;
    return sink;
}

// Appends an open pad named `name` on `filter` to a parser's list.
bool AddOpenPad(AVFilterInOut** list, const char* name, AVFilterContext* filter) {
    AVFilterInOut* io = avfilter_inout_alloc();
    if (!io) return false;
    io->name = av_strdup(name);
    io->filter_ctx = filter;
    io->pad_idx = 0;
    io->next = *list;
    *list = io;
    return io->name != nullptr;
}

// Copies the colour bytes of a world row into a packed RGB24 row and back;
// the alpha of an RGBA world stays where it is.
void WorldRowToRGB(const uint8_t* from, uint8_t* to, int width, bool hasAlpha) {
    if (!hasAlpha) {
        std::memcpy(to, from, size_t(width) * 3);
        return;
    }
    for (int x = 0; x < width; ++x, from += 4, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

void RGBRowToWorld(const uint8_t* from, uint8_t* to, int width, bool hasAlpha) {
    if (!hasAlpha) {
        std::memcpy(to, from, size_t(width) * 3);
        return;
    }
    for (int x = 0; x < width; ++x, from += 3, to += 4) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

}  // namespace

struct EffectGraph::State {
    av::FilterGraph graph;
    AVFilterContext* sourceA = nullptr;
    AVFilterContext* sourceB = nullptr;
    AVFilterContext* sink = nullptr;
    av::BufferPool pool;  // pixel memory for the first source's frames
    av::Frame input = av::MakeFrame();
    av::Frame black = av::MakeFrame();
    av::Frame output = av::MakeFrame();
    int width = 0;
    int height = 0;
    int linesize = 0;
    int64_t pts = 0;
};

EffectGraph::EffectGraph() : mState(std::make_unique<State>()) {}
EffectGraph::~EffectGraph() = default;

std::unique_ptr<EffectGraph> EffectGraph::Build(const std::string& graphText, int sources, int width, int height) {
    if (width <= 0 || height <= 0 || sources < 0 || sources > 2) return nullptr;
    std::unique_ptr<EffectGraph> result(new EffectGraph());
    State& s = *result->mState;
    if (!s.input || !s.black || !s.output) return nullptr;
    s.width = width;
    s.height = height;
    s.graph.reset(avfilter_graph_alloc());
    if (!s.graph) return nullptr;
    s.graph->nb_threads = 0;  // as many as the machine has

    if (sources >= 1 && !(s.sourceA = MakeSource(s.graph.get(), "a", width, height))) return nullptr;
    if (sources >= 2 && !(s.sourceB = MakeSource(s.graph.get(), "b", width, height))) return nullptr;
    if (!(s.sink = MakeSink(s.graph.get()))) return nullptr;

    // The graph text reads [a] and [b] and writes [out]: open outputs of the
    // sources and the open input of the sink, in the parser's terms.
    AVFilterInOut* outputs = nullptr;
    AVFilterInOut* inputs = nullptr;
    bool padsMade = AddOpenPad(&inputs, "out", s.sink);
    if (s.sourceB) padsMade = AddOpenPad(&outputs, "b", s.sourceB) && padsMade;
    if (s.sourceA) padsMade = AddOpenPad(&outputs, "a", s.sourceA) && padsMade;
    int ret = padsMade ? avfilter_graph_parse_ptr(s.graph.get(), graphText.c_str(), &inputs, &outputs, nullptr)
                       : AVERROR(ENOMEM);
    const bool allLinked = !inputs && !outputs;
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (ret < 0 || !allLinked) return nullptr;
    if (avfilter_graph_config(s.graph.get(), nullptr) < 0) return nullptr;

    if (s.sourceA) {
        s.linesize = (width * 3 + 63) / 64 * 64;
        s.pool.reset(av_buffer_pool_init(size_t(s.linesize) * size_t(height) + 64, av_buffer_allocz));
        if (!s.pool) return nullptr;
    }
    if (s.sourceB) {
        s.black->format = kGraphFormat;
        s.black->width = width;
        s.black->height = height;
        if (av_frame_get_buffer(s.black.get(), 0) < 0) return nullptr;
        for (int y = 0; y < height; ++y) std::memset(s.black->data[0] + size_t(y) * s.black->linesize[0], 0, size_t(width) * 3);
    }
    return result;
}

bool EffectGraph::Run(OffscreenWorld& world) {
    State& s = *mState;
    if (world.Width() != s.width || world.Height() != s.height) return false;
    const bool hasAlpha = world.PixelFormat() == OffscreenWorld::Format::RGBA32;

    if (s.sourceA) {
        AVFrame* frame = s.input.get();
        frame->buf[0] = av_buffer_pool_get(s.pool.get());
        if (!frame->buf[0]) return false;
        frame->data[0] = frame->buf[0]->data;
        frame->linesize[0] = s.linesize;
        frame->format = kGraphFormat;
        frame->width = s.width;
        frame->height = s.height;
        frame->sample_aspect_ratio = AVRational{1, 1};
        frame->pts = s.pts;
        for (int y = 0; y < s.height; ++y)
            WorldRowToRGB(world.Row(y), frame->data[0] + size_t(y) * size_t(s.linesize), s.width, hasAlpha);
        const int ret = av_buffersrc_add_frame_flags(s.sourceA, frame, 0);
        av_frame_unref(frame);
        if (ret < 0) return false;
    }
    if (s.sourceB) {
        s.black->pts = s.pts;
        if (av_buffersrc_add_frame_flags(s.sourceB, s.black.get(), AV_BUFFERSRC_FLAG_KEEP_REF) < 0) return false;
    }
    ++s.pts;

    AVFrame* out = s.output.get();
    if (av_buffersink_get_frame(s.sink, out) < 0) return false;
    const bool fits = out->format == kGraphFormat && out->width == s.width && out->height == s.height;
    if (fits)
        for (int y = 0; y < s.height; ++y)
            RGBRowToWorld(out->data[0] + size_t(y) * size_t(out->linesize[0]), world.Row(y), s.width, hasAlpha);
    av_frame_unref(out);
    return fits;
}
