#include "platform/media/encode/VideoEncoder.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>

#include "platform/media/AVHandles.h"
#include "platform/media/WorldPixelFormat.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/EncoderOptionSetting.h"
#include "platform/media/encode/FixedPalette.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

constexpr int kMaxDimension = 16384;

[[noreturn]] void Fail(OSErr code, const std::string& message) { throw LException(code, message); }

// Colour-difference formats: the ones that carry a matrix and a range.
bool IsYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    return d && d->nb_components >= 3 && !(d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

void SetEncoderOptions(AVCodecContext* ctx, const VideoCodecInfo& codec, const EncoderOptions& options) {
    for (const auto& [name, value] : options) SetEncoderOption(ctx, codec.name, name, value);
}

void AppendParams(std::string& params, const std::string& more) {
    if (!more.empty()) params += (params.empty() ? "" : ":") + more;
}

// Tells the encoder what the codec's row and the settings ask for: its
// fixed options, the quality or data rate, the user's own options. Returns
// the quality as text for messages.
std::string ApplyTuning(AVCodecContext* ctx, const VideoCodecInfo& codec, const VideoSettings& settings, bool reorder) {
    const EncoderTuning& tuning = codec.tuning;
    std::string text;
    if (!tuning.headersInBand) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The encoder's own profile option, not the context's generic one,
    // which it does not read.
    if (codec.encoderProfile && av_opt_set(ctx->priv_data, "profile", codec.encoderProfile, 0) < 0)
        Fail(kCodecErr, std::string("The ") + codec.name + " encoder has no profile " + codec.encoderProfile + ".");

    std::string params = tuning.params;  // the encoder's parameter string; the user's come first
    if (!reorder) AppendParams(params, tuning.inOrderParams);
    if (settings.dataRate > 0 && codec.hasDataRate) {
        const int64_t bitRate = int64_t(settings.dataRate) * 8;
        ctx->bit_rate = bitRate;
        if (tuning.capsDataRate) {
            ctx->rc_max_rate = bitRate;
            ctx->rc_buffer_size = int(std::min<int64_t>(bitRate, INT32_MAX));  // one second of data
        }
        SetEncoderOptions(ctx, codec, tuning.rateOptions);
        text = std::to_string(bitRate / 1000) + " kbit/s";
    } else {
        const QualityValue q = VideoCodecTable::MapQuality(codec, settings.spatialQuality);
        text = VideoCodecTable::QualityText(codec, settings.spatialQuality);
        SetEncoderOptions(ctx, codec, tuning.qualityOptions);
        if (q.lossless) {
            SetEncoderOptions(ctx, codec, tuning.losslessOptions);
            AppendParams(params, tuning.losslessParams);
        } else if (tuning.fixedQuantiser) {
            ctx->flags |= AV_CODEC_FLAG_QSCALE;
            ctx->global_quality = int(q.value * FF_QP2LAMBDA);
        } else if (tuning.qualityOption && av_opt_set_double(ctx->priv_data, tuning.qualityOption, q.value, 0) < 0 &&
                   tuning.qualityFallback) {
            av_opt_set_double(ctx->priv_data, tuning.qualityFallback, q.value, 0);
        }
    }
    SetEncoderOptions(ctx, codec, tuning.options);

    for (const auto& [name, value] : settings.options) {
        if (tuning.paramsOption && name == tuning.paramsOption) {
            params = value + (value.empty() || params.empty() ? "" : ":") + params;  // ours win
            continue;
        }
        SetEncoderOption(ctx, codec.name, name, value);
    }
    if (tuning.paramsOption) SetEncoderOption(ctx, codec.name, tuning.paramsOption, params);
    return text;
}

}  // namespace

struct VideoEncoder::Impl {
    const VideoCodecInfo* codec = nullptr;
    VideoSettings settings;
    media::av::CodecContext ctx;
    media::av::Frame frame;
    media::av::Packet packet;
    media::av::SwsContext sws;
    AVPixelFormat sourceFormat = AV_PIX_FMT_NONE;
    ColourDescription colour;  // the output's
    MediaTimeBase timeBase;
    int width = 0, height = 0;       // encoded size
    int64_t framesSent = 0;
    bool flushed = false;
    bool reorder = false;  // frames may come out in decoding order (B-frames)
    std::deque<std::pair<int64_t, int64_t>> pending;  // (pts, duration) of frames not yet out
    std::map<int64_t, int64_t> pendingByTime;         // the same when reordering: pts -> duration
    std::string qualityText;

    ~Impl() {
        // An encoder given up on is closed as it stands: draining it would
        // cost the frames it holds back (seconds at 1080p) for nothing. But
        // SVT-AV1 hangs when closed without its end-of-stream, and at the
        // end-of-stream when it never got a frame: give it one, then drain.
        if (ctx && !flushed && codec->tuning.endsStreamOnClose) {
            try {
                std::vector<EncodedPacket> ignored;
                if (framesSent == 0 && frame->buf[0]) {
                    frame->pts = 0;
                    Drain(frame.get(), ignored);
                }
                Drain(nullptr, ignored);
            } catch (...) {
            }
        }
    }

    void Drain(const AVFrame* input, std::vector<EncodedPacket>& out) {
        int rc = avcodec_send_frame(ctx.get(), input);
        if (rc < 0 && !(input == nullptr && rc == AVERROR_EOF))
            Fail(kCodecErr, std::string("The ") + codec->name + " encoder refused a frame: " + media::av::ErrorText(rc));
        if (!input) flushed = true;
        for (;;) {
            rc = avcodec_receive_packet(ctx.get(), packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
            if (rc < 0)
                Fail(kCodecErr, std::string("The ") + codec->name + " encoder failed: " + media::av::ErrorText(rc));
            EncodedPacket& p = out.emplace_back();
            p.data.assign(packet->data, packet->data + packet->size);
            p.pts = packet->pts;
            p.keyFrame = (packet->flags & AV_PKT_FLAG_KEY) != 0;
            if (reorder) {
                // Decoding order: the encoder's own decoding times, and the
                // duration of the frame with this presentation time.
                p.dts = packet->dts == AV_NOPTS_VALUE ? p.pts : packet->dts;
                const auto it = pendingByTime.find(packet->pts);
                p.duration = it != pendingByTime.end() ? it->second : packet->duration;
                if (it != pendingByTime.end()) pendingByTime.erase(it);
                av_packet_unref(packet.get());
                continue;
            }
            // Frames come out in the order they went in (no reordering), so
            // the oldest pending frame is this packet's; skip any the encoder dropped.
            while (!pending.empty() && packet->pts != AV_NOPTS_VALUE && pending.front().first < packet->pts)
                pending.pop_front();
            if (!pending.empty()) {
                if (packet->pts == AV_NOPTS_VALUE) p.pts = pending.front().first;
                p.duration = pending.front().second;
                pending.pop_front();
            } else {
                p.duration = packet->duration;
            }
            p.dts = p.pts;
            av_packet_unref(packet.get());
        }
    }

    // Any world into the frame's format through one cached scaler.
    void Convert(const OffscreenWorld& world) {
        const AVPixelFormat source = media::av::PixelFormatOf(world);
        if (!sws || source != sourceFormat) {
            sws.reset(sws_getContext(width, height, source, width, height, AVPixelFormat(frame->format), SWS_BICUBIC,
                                     nullptr, nullptr, nullptr));
            if (!sws) Fail(kCodecErr, "No pixel conversion to the encoder's format.");
            sourceFormat = source;
            // From the world's own colour (RGB worlds are full range) to the output's.
            const ColourDescription& from = world.Colour();
            const bool fromFull = !world.IsPlanar() || from.fullRange;
            const bool toFull = !IsYuv(AVPixelFormat(frame->format)) || colour.fullRange;
            sws_setColorspaceDetails(sws.get(), sws_getCoefficients(world.IsPlanar() ? from.matrix : colour.matrix),
                                     fromFull ? 1 : 0, sws_getCoefficients(colour.matrix), toFull ? 1 : 0, 0,
                                     1 << 16, 1 << 16);
        }
        const uint8_t* src[4] = {};
        int srcStride[4] = {};
        for (int p = 0; p < world.PlaneCount(); ++p) {
            src[p] = world.Plane(p);
            srcStride[p] = world.PlaneStride(p);
        }
        sws_scale(sws.get(), src, srcStride, 0, height, frame->data, frame->linesize);
    }

    // Thousands of colours: each pixel's top five bits, packed by hand, as
    // the scaler's path to 5-5-5 smears colour into neighbouring pixels.
    void PackRgb555(const OffscreenWorld& world, bool bigEndian) {
        const int step = world.BytesPerPixel();
        for (int y = 0; y < height; ++y) {
            const uint8_t* s = world.Row(y);
            uint8_t* d = frame->data[0] + size_t(y) * frame->linesize[0];
            for (int x = 0; x < width; ++x, s += step, d += 2) {
                const unsigned v = unsigned(s[0] >> 3) << 10 | unsigned(s[1] >> 3) << 5 | unsigned(s[2] >> 3);
                d[bigEndian ? 0 : 1] = uint8_t(v >> 8);
                d[bigEndian ? 1 : 0] = uint8_t(v);
            }
        }
    }

    void ConvertToPalette(const OffscreenWorld& world) {
        const int step = world.BytesPerPixel();
        for (int y = 0; y < height; ++y) {
            const uint8_t* s = world.Row(y);
            uint8_t* d = frame->data[0] + size_t(y) * frame->linesize[0];
            for (int x = 0; x < width; ++x, s += step) d[x] = FixedPalette::IndexOf(s[0], s[1], s[2]);
        }
    }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

void VideoEncoder::Open(const VideoSettings& settings, int width, int height, MediaTimeBase timeBase,
                        double nominalFrameRate, bool allowReordering, const ColourDescription& colour) {
    mImpl.reset();
    const VideoCodecInfo* codec = VideoCodecTable::Find(settings.codecType);
    if (!codec) Fail(kNoCodecErr, "Unknown video codec type '" + FourCCToString(settings.codecType) + "'.");
    if (!codec->IsAvailable())
        Fail(kNoCodecErr, std::string("The ") + codec->name + " encoder (" + codec->encoder +
                              ") is not available in this FFmpeg build.");
    const AVCodec* encoder = avcodec_find_encoder_by_name(codec->encoder);
    if (!encoder) Fail(kNoCodecErr, std::string("No encoder ") + codec->encoder + ".");
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
        Fail(kBadFrameSizeErr, "Frame size " + std::to_string(width) + " x " + std::to_string(height) +
                                   " cannot be compressed.");
    if (timeBase.num <= 0 || timeBase.den <= 0) Fail(paramErr, "Invalid time base.");

    auto impl = std::make_unique<Impl>();
    impl->codec = codec;
    impl->settings = settings;
    impl->timeBase = timeBase;
    impl->colour = colour;
    // Bidirectional frames pay off for the encoders that may reorder; the
    // caller allows them only where no other encoder follows in the track.
    impl->reorder = allowReordering && codec->tuning.reorders;
    const AVPixelFormat format =
        av_get_pix_fmt(VideoCodecTable::PixelFormatForColour(*codec, settings.depth, colour.bitDepth).c_str());
    // Odd edges are trimmed rather than refused; the job says so beforehand.
    const VideoCodecTable::FrameSteps steps = VideoCodecTable::FrameStepsFor(*codec, settings.depth);
    impl->width = width / steps.across * steps.across;
    impl->height = height / steps.down * steps.down;
    if (impl->width == 0 || impl->height == 0)
        Fail(kBadFrameSizeErr, std::string(codec->name) + " cannot compress a frame of " + std::to_string(width) +
                                   " x " + std::to_string(height) + ".");

    impl->ctx.reset(avcodec_alloc_context3(encoder));
    impl->frame = media::av::MakeFrame();
    impl->packet = media::av::MakePacket();
    if (!impl->ctx || !impl->frame || !impl->packet) throw std::bad_alloc();
    AVCodecContext* ctx = impl->ctx.get();
    ctx->width = impl->width;
    ctx->height = impl->height;
    ctx->pix_fmt = format;
    ctx->time_base = AVRational{timeBase.num, timeBase.den};
    double fps = nominalFrameRate > 0 ? nominalFrameRate : settings.frameRate / 65536.0;
    if (!(fps >= 1 && fps <= 1000)) fps = 30;
    ctx->framerate = av_d2q(fps, 100000);
    ctx->sample_aspect_ratio = AVRational{1, 1};
    ctx->thread_count = 0;
    if (!impl->reorder) ctx->max_b_frames = 0;  // presentation order in, presentation order out
    if (IsYuv(format)) {
        ctx->colorspace = AVColorSpace(colour.matrix);
        ctx->color_primaries = AVColorPrimaries(colour.primaries);
        ctx->color_trc = AVColorTransferCharacteristic(colour.transfer);
        ctx->color_range = colour.fullRange || format == AV_PIX_FMT_YUVJ420P ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    }
    if (settings.keyFrameRate > 0) ctx->gop_size = settings.keyFrameRate;
    impl->qualityText = ApplyTuning(ctx, *codec, settings, impl->reorder);

    int rc = avcodec_open2(ctx, encoder, nullptr);
    if (rc < 0)
        Fail(kCodecErr, std::string("The ") + codec->name + " encoder could not start: " + media::av::ErrorText(rc));

    impl->frame->format = format;
    impl->frame->width = impl->width;
    impl->frame->height = impl->height;
    // Some encoders (ProRes) take the tags they write from each picture.
    impl->frame->color_primaries = ctx->color_primaries;
    impl->frame->color_trc = ctx->color_trc;
    impl->frame->colorspace = ctx->colorspace;
    impl->frame->color_range = ctx->color_range;
    rc = av_frame_get_buffer(impl->frame.get(), 0);
    if (rc < 0) throw std::bad_alloc();
    if (format == AV_PIX_FMT_PAL8) {
        const auto& colors = FixedPalette::Colors();
        std::memcpy(impl->frame->data[1], colors.data(), colors.size() * 4);
    }
    mImpl = std::move(impl);
}

bool VideoEncoder::IsOpen() const { return mImpl != nullptr; }

void VideoEncoder::Encode(const OffscreenWorld& world, int64_t pts, int64_t duration, std::vector<EncodedPacket>& out) {
    if (!mImpl || mImpl->flushed) Fail(kCodecErr, "The video encoder is not open.");
    Impl& m = *mImpl;
    if (world.Width() < m.width || world.Height() < m.height)
        Fail(kBadFrameSizeErr, "The frame is smaller than the encoder's frame size.");
    // The encoder may still hold our buffer from the last frame; only then is a new one made.
    if (av_frame_make_writable(m.frame.get()) < 0) throw std::bad_alloc();
    AVFrame* f = m.frame.get();
    if (f->format == AV_PIX_FMT_PAL8) {
        m.ConvertToPalette(world);
        const auto& colors = FixedPalette::Colors();
        std::memcpy(f->data[1], colors.data(), colors.size() * 4);
    } else if (!world.IsPlanar() && (f->format == AV_PIX_FMT_RGB555BE || f->format == AV_PIX_FMT_RGB555LE)) {
        m.PackRgb555(world, f->format == AV_PIX_FMT_RGB555BE);
    } else if (world.IsPlanar() && f->format == media::av::PixelFormatOf(world) &&
               world.Colour().matrix == m.colour.matrix && world.Colour().fullRange == m.colour.fullRange) {
        const int bytes = world.SampleBytes();
        for (int p = 0; p < 3; ++p)
            av_image_copy_plane(f->data[p], f->linesize[p], world.Plane(p), world.PlaneStride(p),
                                (p == 0 ? m.width : (m.width + 1) / 2) * bytes, p == 0 ? m.height : (m.height + 1) / 2);
    } else {
        m.Convert(world);
    }
    f->pts = pts;
    f->pkt_duration = duration;
    f->pict_type = m.framesSent == 0 ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    // Fixed-quantiser encoders (MJPEG, MPEG-4, ...) read the quality from
    // each frame, not from the context.
    if (m.ctx->flags & AV_CODEC_FLAG_QSCALE) f->quality = m.ctx->global_quality;
    if (m.reorder) m.pendingByTime[pts] = duration;
    else m.pending.emplace_back(pts, duration);
    m.Drain(f, out);
    ++m.framesSent;
}

void VideoEncoder::Flush(std::vector<EncodedPacket>& out) {
    if (!mImpl || mImpl->flushed) return;
    mImpl->Drain(nullptr, out);
}

OSType VideoEncoder::CodecType() const { return mImpl ? mImpl->codec->type : 0; }
const VideoCodecInfo& VideoEncoder::Codec() const {
    if (!mImpl) Fail(kCodecErr, "The video encoder is not open.");
    return *mImpl->codec;
}
int VideoEncoder::Width() const { return mImpl ? mImpl->width : 0; }
int VideoEncoder::Height() const { return mImpl ? mImpl->height : 0; }
MediaTimeBase VideoEncoder::TimeBase() const { return mImpl ? mImpl->timeBase : MediaTimeBase{}; }

std::string VideoEncoder::Describe() const {
    if (!mImpl) return "no encoder";
    return std::string(mImpl->codec->name) + " (" + mImpl->codec->encoder + ", " + mImpl->qualityText + ")";
}

StreamParameters VideoEncoder::Parameters() const {
    if (!mImpl) return {};
    return StreamParameters::FromCodecContext(mImpl->ctx.get(), mImpl->timeBase);
}
