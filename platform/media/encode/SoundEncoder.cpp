#include "platform/media/encode/SoundEncoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "platform/media/AVHandles.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/EncoderOptionSetting.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace {

constexpr int kMaxChannels = 64;
constexpr int kPcmFrameSize = 4096;  // PCM has no frames of its own; packets this long

[[noreturn]] void Fail(OSErr code, const std::string& message) { throw LException(code, message); }

AVSampleFormat InputFormat(const PcmFormat& f) {
    AVSampleFormat packed = AV_SAMPLE_FMT_FLT;
    switch (f.sampleType) {
    case PcmSampleType::S16: packed = AV_SAMPLE_FMT_S16; break;
    case PcmSampleType::S32: packed = AV_SAMPLE_FMT_S32; break;
    case PcmSampleType::Float: packed = AV_SAMPLE_FMT_FLT; break;
    case PcmSampleType::Double: packed = AV_SAMPLE_FMT_DBL; break;
    }
    return f.planar ? av_get_planar_sample_fmt(packed) : packed;
}

// The encoder's sample format: for 24-bit sizes prefer 32-bit containers,
// otherwise the encoder's first choice.
AVSampleFormat ChooseSampleFormat(const AVCodec* codec, int sampleSize) {
    const AVSampleFormat* formats = codec->sample_fmts;
    if (!formats) return AV_SAMPLE_FMT_S16;
    if (sampleSize > 16)
        for (const AVSampleFormat* f = formats; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (av_get_bytes_per_sample(*f) >= 4) return *f;
    return formats[0];
}

struct FifoDeleter {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};
struct SampleBufferDeleter {
    void operator()(uint8_t** planes) const {
        if (planes) av_freep(&planes[0]);
        av_freep(&planes);
    }
};

}  // namespace

struct SoundEncoder::Impl {
    const SoundTypeInfo* type = nullptr;
    PcmFormat input;
    media::av::CodecContext ctx;
    media::av::SwrContext swr;
    media::av::Frame frame;
    media::av::Packet packet;
    std::unique_ptr<AVAudioFifo, FifoDeleter> fifo;
    std::unique_ptr<uint8_t*, SampleBufferDeleter> converted;  // resampler output, reused
    int convertedCapacity = 0;
    int frameSize = 0;
    int outRate = 0;
    int outChannels = 0;
    int64_t nextPts = 0;
    bool finished = false;

    void EnsureConverted(int samples) {
        if (samples <= convertedCapacity) return;
        uint8_t** planes = nullptr;
        const int capacity = std::max(samples, frameSize);
        if (av_samples_alloc_array_and_samples(&planes, nullptr, outChannels, capacity, ctx->sample_fmt, 0) < 0)
            throw std::bad_alloc();
        converted.reset(planes);
        convertedCapacity = capacity;
    }

    int64_t Send(const AVFrame* f, std::vector<EncodedPacket>& out) {
        int rc = avcodec_send_frame(ctx.get(), f);
        if (rc < 0 && !(f == nullptr && rc == AVERROR_EOF))
            Fail(kCodecErr, std::string("The ") + type->name + " encoder refused sound: " + media::av::ErrorText(rc));
        int64_t bytes = 0;
        for (;;) {
            rc = avcodec_receive_packet(ctx.get(), packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
            if (rc < 0) Fail(kCodecErr, std::string("The ") + type->name + " encoder failed: " + media::av::ErrorText(rc));
            EncodedPacket& p = out.emplace_back();
            p.data.assign(packet->data, packet->data + packet->size);
            p.pts = packet->pts;
            p.dts = packet->dts == AV_NOPTS_VALUE ? packet->pts : packet->dts;
            p.duration = packet->duration;
            p.keyFrame = true;
            bytes += packet->size;
            av_packet_unref(packet.get());
        }
        return bytes;
    }

    // Encodes whole frames from the FIFO; with `all`, also the last partial one.
    int64_t EncodeFifo(bool all, std::vector<EncodedPacket>& out) {
        int64_t bytes = 0;
        for (;;) {
            const int available = av_audio_fifo_size(fifo.get());
            if (available == 0 || (available < frameSize && !all)) break;
            if (av_frame_make_writable(frame.get()) < 0) throw std::bad_alloc();
            const int n = std::min(available, frameSize);
            av_audio_fifo_read(fifo.get(), reinterpret_cast<void**>(frame->data), n);
            int samples = n;
            if (n < frameSize) {
                const bool smallLastFrame =
                    (ctx->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) ||
                    ctx->frame_size == 0;
                if (!smallLastFrame) {
                    // Fixed-size codecs get the last frame padded with silence.
                    av_samples_set_silence(frame->data, n, frameSize - n, outChannels, ctx->sample_fmt);
                    samples = frameSize;
                }
            }
            frame->nb_samples = samples;
            frame->pts = nextPts;
            nextPts += samples;
            bytes += Send(frame.get(), out);
            frame->nb_samples = frameSize;
        }
        return bytes;
    }
};

SoundEncoder::SoundEncoder() = default;
SoundEncoder::~SoundEncoder() = default;

void SoundEncoder::Open(const SoundSettings& settings, const PcmFormat& input, int64_t firstPts) {
    mImpl.reset();
    const SoundTypeInfo* type = SoundTypeTable::Find(settings.compressionType);
    if (!type)
        Fail(kNoSoundExporterErr, "Unknown sound compression type '" + FourCCToString(settings.compressionType) + "'.");
    if (!type->IsAvailable())
        Fail(kNoSoundExporterErr, std::string("The ") + type->name + " encoder (" + type->encoder +
                                      ") is not available in this FFmpeg build.");
    const AVCodec* codec = avcodec_find_encoder_by_name(type->encoder);
    if (!codec) Fail(kNoSoundExporterErr, std::string("No encoder ") + type->encoder + ".");
    if (input.sampleRate < 1 || input.sampleRate > 768000 || input.channels < 1 || input.channels > kMaxChannels)
        Fail(paramErr, "The source sound format cannot be converted (" + std::to_string(input.sampleRate) + " Hz, " +
                           std::to_string(input.channels) + " channels).");

    auto m = std::make_unique<Impl>();
    m->type = type;
    m->input = input;
    m->outChannels = std::min(settings.channels > 0 ? int(settings.channels) : input.channels, type->maxChannels);
    m->outRate = type->NearestRate(settings.SampleRateHz() > 0 ? settings.SampleRateHz() : input.sampleRate);
    m->nextPts = firstPts;

    m->ctx.reset(avcodec_alloc_context3(codec));
    m->frame = media::av::MakeFrame();
    m->packet = media::av::MakePacket();
    if (!m->ctx || !m->frame || !m->packet) throw std::bad_alloc();
    AVCodecContext* ctx = m->ctx.get();
    ctx->sample_rate = m->outRate;
    ctx->time_base = AVRational{1, m->outRate};
    av_channel_layout_default(&ctx->ch_layout, m->outChannels);
    ctx->sample_fmt = ChooseSampleFormat(codec, settings.sampleSize);
    if (type->type == FourCC("alac") && settings.sampleSize > 16) ctx->bits_per_raw_sample = 24;
    ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ctx->thread_count = 0;
    if (type->hasBitRate) {
        int64_t bitRate = std::max<int64_t>(type->defaultBitRate * m->outChannels / 2, 32000);
        const std::string asked = FindEncoderOption(settings.options, "bitrate");
        if (!asked.empty()) {
            char* end = nullptr;
            const long long v = std::strtoll(asked.c_str(), &end, 10);
            if (end && *end == 0 && v >= 8000 && v <= 2000000) bitRate = v;
        }
        ctx->bit_rate = bitRate;
    }
    for (const auto& [name, value] : settings.options) {
        if (name == "bitrate") continue;
        SetEncoderOption(ctx, type->name, name, value);
    }
    int rc = avcodec_open2(ctx, codec, nullptr);
    if (rc < 0)
        Fail(kCodecErr, std::string("The ") + type->name + " encoder could not start: " + media::av::ErrorText(rc));
    m->frameSize = ctx->frame_size > 0 ? ctx->frame_size : kPcmFrameSize;

    AVChannelLayout inLayout;
    if (input.channelMask == 0 || std::popcount(input.channelMask) != input.channels ||
        av_channel_layout_from_mask(&inLayout, input.channelMask) < 0)
        av_channel_layout_default(&inLayout, input.channels);
    SwrContext* swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &ctx->ch_layout, ctx->sample_fmt, m->outRate, &inLayout, InputFormat(input),
                             input.sampleRate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    m->swr.reset(swr);
    // Folding channels together must never be louder than its loudest
    // channel: without a limit, float output keeps the full sum (+3 dB for
    // stereo to mono, and clipping), while integer output is normalised.
    if (rc >= 0 && swr) av_opt_set_double(swr, "rematrix_maxval", 1.0, 0);
    if (rc < 0 || !swr || swr_init(swr) < 0) Fail(kCodecErr, "No sound conversion from the source format.");

    m->fifo.reset(av_audio_fifo_alloc(ctx->sample_fmt, m->outChannels, m->frameSize * 2));
    if (!m->fifo) throw std::bad_alloc();
    m->frame->format = ctx->sample_fmt;
    m->frame->sample_rate = m->outRate;
    m->frame->nb_samples = m->frameSize;
    if (av_channel_layout_copy(&m->frame->ch_layout, &ctx->ch_layout) < 0 || av_frame_get_buffer(m->frame.get(), 0) < 0)
        throw std::bad_alloc();
    m->EnsureConverted(m->frameSize);
    mImpl = std::move(m);
}

bool SoundEncoder::IsOpen() const { return mImpl != nullptr; }

int64_t SoundEncoder::Convert(const uint8_t* const* planes, int frames, std::vector<EncodedPacket>& out) {
    if (!mImpl || mImpl->finished) Fail(kCodecErr, "The sound encoder is not open.");
    if (frames < 0 || (frames > 0 && !planes)) Fail(paramErr, "Bad sound block.");
    if (frames == 0) return 0;
    Impl& m = *mImpl;
    const int capacity = swr_get_out_samples(m.swr.get(), frames);
    if (capacity < 0) Fail(kCodecErr, "Sound conversion failed.");
    m.EnsureConverted(capacity);
    const int n = swr_convert(m.swr.get(), m.converted.get(), m.convertedCapacity, const_cast<const uint8_t**>(planes),
                              frames);
    if (n < 0) Fail(kCodecErr, "Sound conversion failed: " + media::av::ErrorText(n));
    if (n > 0 && av_audio_fifo_write(m.fifo.get(), reinterpret_cast<void**>(m.converted.get()), n) < n)
        throw std::bad_alloc();
    return m.EncodeFifo(false, out);
}

int64_t SoundEncoder::Convert(const float* interleaved, int frames, std::vector<EncodedPacket>& out) {
    if (mImpl && (mImpl->input.sampleType != PcmSampleType::Float || mImpl->input.planar))
        Fail(paramErr, "The sound encoder was opened for another sample format.");
    const uint8_t* planes[1] = {reinterpret_cast<const uint8_t*>(interleaved)};
    return Convert(planes, frames, out);
}

int64_t SoundEncoder::Finish(std::vector<EncodedPacket>& out) {
    if (!mImpl || mImpl->finished) return 0;
    Impl& m = *mImpl;
    m.finished = true;
    // What the resampler still holds (its filter delay).
    const int capacity = swr_get_out_samples(m.swr.get(), 0);
    if (capacity > 0) {
        m.EnsureConverted(capacity);
        const int n = swr_convert(m.swr.get(), m.converted.get(), m.convertedCapacity, nullptr, 0);
        if (n > 0) av_audio_fifo_write(m.fifo.get(), reinterpret_cast<void**>(m.converted.get()), n);
    }
    int64_t bytes = m.EncodeFifo(true, out);
    bytes += m.Send(nullptr, out);
    return bytes;
}

OSType SoundEncoder::CompressionType() const { return mImpl ? mImpl->type->type : 0; }
const SoundTypeInfo& SoundEncoder::Type() const {
    if (!mImpl) Fail(kCodecErr, "The sound encoder is not open.");
    return *mImpl->type;
}
int SoundEncoder::OutputSampleRate() const { return mImpl ? mImpl->outRate : 0; }
int SoundEncoder::OutputChannels() const { return mImpl ? mImpl->outChannels : 0; }
MediaTimeBase SoundEncoder::TimeBase() const { return {1, mImpl ? mImpl->outRate : 1}; }

StreamParameters SoundEncoder::Parameters() const {
    if (!mImpl) return {};
    return StreamParameters::FromCodecContext(mImpl->ctx.get(), TimeBase());
}
