#include "platform/media/source/SoundReader.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstdlib>

#include "platform/media/source/MovieProbe.h"
#include "platform/media/source/SourceErrors.h"

namespace av = media::av;

namespace {
// Decoding forward through this much sound is cheaper than a seek.
constexpr int kSeekAheadSeconds = 2;
// Decoders start slightly off after a seek; start this much earlier.
constexpr double kSeekPrerollSeconds = 0.2;
}  // namespace

struct SoundReader::Impl {
    MovieLayout layout;
    av::FormatInput input;
    AVStream* stream = nullptr;
    av::CodecContext decoder;
    av::Packet packet = av::MakePacket();
    av::Frame frame = av::MakeFrame();
    av::SwrContext swr;
    AVChannelLayout outLayout{};
    int rate = 0;
    // The swr context's input, to notice format changes.
    int swrFormat = -1, swrRate = 0;
    AVChannelLayout swrLayout{};

    // Decoded sound not yet handed out: at most one frame's worth.
    std::vector<float> buffer;
    size_t bufferOffset = 0;  // frames already consumed from the front
    size_t bufferFrames = 0;  // frames in the buffer, consumed ones included
    int64_t bufferStart = 0;  // position of the first unconsumed frame
    bool positionKnown = false;
    bool demuxDone = false;
    int64_t decodedEnd = 0;   // the end of all sound decoded so far, in samples
    bool endedEarly = false;  // the data ran out well before the track's end
    int64_t lastPacketTime = AV_NOPTS_VALUE;  // of the latest sound packet sent to the decoder
    movie_probe::FileReach reach;
    movie_probe::DecodeDamage damage;
    int seeks = 0;

    ~Impl() {
        av_channel_layout_uninit(&outLayout);
        av_channel_layout_uninit(&swrLayout);
    }

    int Channels() const { return outLayout.nb_channels; }
    size_t Available() const { return bufferFrames - bufferOffset; }
    int64_t DecodedEnd() const { return bufferStart + int64_t(Available()); }

    void Consume(size_t frames) {
        bufferOffset += frames;
        bufferStart += int64_t(frames);
    }

    // Decoding has reached the end of what the file holds.
    void NoteEnd() {
        const int64_t end = movie_probe::TrackEnd(layout, input.get(), stream, reach);
        if (end == AV_NOPTS_VALUE) return;
        const int64_t expected =
            av_rescale_q(end - movie_probe::OriginIn(layout, stream->time_base), stream->time_base, AVRational{1, rate});
        endedEarly = decodedEnd + rate / 10 < expected;
    }

    bool ReceiveFrame() {
        for (;;) {
            int rc = avcodec_receive_frame(decoder.get(), frame.get());
            if (rc == 0) {
                damage.NoteFrame(frame.get());
                return true;
            }
            // At the end, or wanting input with none left.
            if (rc == AVERROR_EOF || demuxDone) {
                NoteEnd();
                return false;
            }
            damage.NoteResult(rc, lastPacketTime);
            rc = av_read_frame(input.get(), packet.get());
            if (rc < 0) {
                demuxDone = true;
                avcodec_send_packet(decoder.get(), nullptr);
                continue;
            }
            reach.Note(input.get(), packet.get());
            if (packet->stream_index == layout.audioStream) {
                lastPacketTime = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                damage.NoteResult(avcodec_send_packet(decoder.get(), packet.get()), lastPacketTime);
            }
            av_packet_unref(packet.get());
        }
    }

    bool PrepareConverter(const AVFrame* f) {
        if (swr && f->format == swrFormat && f->sample_rate == swrRate &&
            av_channel_layout_compare(&f->ch_layout, &swrLayout) == 0)
            return true;
        SwrContext* raw = nullptr;
        AVChannelLayout in{};
        if (f->ch_layout.nb_channels > 0)
            av_channel_layout_copy(&in, &f->ch_layout);
        else
            av_channel_layout_default(&in, Channels());
        int rc = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_FLT, rate, &in, AVSampleFormat(f->format),
                                     f->sample_rate, 0, nullptr);
        swr.reset(raw);
        av_channel_layout_uninit(&swrLayout);
        av_channel_layout_copy(&swrLayout, &f->ch_layout);
        av_channel_layout_uninit(&in);
        swrFormat = f->format;
        swrRate = f->sample_rate;
        if (rc >= 0 && raw) av_opt_set_double(raw, "rematrix_maxval", 1.0, 0);  // a fold never gets louder
        if (rc < 0 || swr_init(swr.get()) < 0) {
            swr.reset();
            return false;
        }
        return true;
    }

    // Decodes the next frame into the (empty) buffer; false at the end.
    bool Refill() {
        while (ReceiveFrame()) {
            AVFrame* f = frame.get();
            if (f->nb_samples <= 0 || f->sample_rate <= 0 || !PrepareConverter(f)) {
                av_frame_unref(f);
                continue;
            }
            int capacity = swr_get_out_samples(swr.get(), f->nb_samples);
            if (capacity <= 0) {
                av_frame_unref(f);
                continue;
            }
            buffer.resize(size_t(capacity) * Channels());
            uint8_t* out[1] = {reinterpret_cast<uint8_t*>(buffer.data())};
            int got = swr_convert(swr.get(), out, capacity, const_cast<const uint8_t**>(f->extended_data),
                                  f->nb_samples);
            int64_t ts = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
            av_frame_unref(f);
            if (got <= 0) continue;

            int64_t expected = DecodedEnd();
            int64_t at = expected;
            if (ts != AV_NOPTS_VALUE) {
                int64_t stamped = av_rescale_q(ts - movie_probe::OriginIn(layout, stream->time_base),
                                               stream->time_base, AVRational{1, rate});
                // Time stamps jitter by a sample or two; only a real jump
                // (or the first frame after a seek) moves the position.
                if (!positionKnown || std::llabs(stamped - expected) > rate / 50) at = stamped;
            }
            positionKnown = true;
            bufferFrames = size_t(got);
            bufferOffset = 0;
            if (at < expected) {
                // Overlaps sound already handed out: drop the overlap.
                size_t overlap = size_t(std::min<int64_t>(expected - at, got));
                bufferOffset = overlap;
                at += int64_t(overlap);
            }
            bufferStart = at;
            decodedEnd = std::max(decodedEnd, DecodedEnd());
            if (Available() > 0) return true;
        }
        return false;
    }

    void Seek(int64_t sample) {
        double seconds = double(sample) / rate - kSeekPrerollSeconds;
        int64_t target = movie_probe::OriginIn(layout, stream->time_base) +
                         av_rescale_q(int64_t(seconds * 1000000), AVRational{1, 1000000}, stream->time_base);
        if (av_seek_frame(input.get(), layout.audioStream, target, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(input.get(), layout.audioStream, INT64_MIN, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(decoder.get());
        if (swr) swr_init(swr.get());
        bufferFrames = bufferOffset = 0;
        bufferStart = 0;
        positionKnown = false;
        demuxDone = false;
        ++seeks;
    }
};

SoundReader::SoundReader() : mImpl(std::make_unique<Impl>()) {}
SoundReader::~SoundReader() = default;

std::unique_ptr<SoundReader> SoundReader::Open(const std::string& path) {
    std::unique_ptr<SoundReader> reader(new SoundReader());
    Impl& r = *reader->mImpl;
    r.input = movie_probe::OpenAndDescribe(path, r.layout);
    if (r.layout.audioStream < 0) throw LException(kTrackNotInMovieErr, "The movie \"" + path + "\" has no sound.");
    r.stream = r.input->streams[r.layout.audioStream];
    movie_probe::ChooseDemuxedTracks(r.input.get(), r.layout.audioStream);
    r.decoder = movie_probe::OpenDecoder(r.stream);
    r.rate = r.stream->codecpar->sample_rate;
    const AVChannelLayout& announced = r.stream->codecpar->ch_layout;
    if (announced.nb_channels > 0 && announced.order != AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_copy(&r.outLayout, &announced);
    else
        av_channel_layout_default(&r.outLayout, std::max(1, announced.nb_channels));
    if (!r.packet || !r.frame) throw LException(memFullErr, "Out of memory.");
    return reader;
}

int SoundReader::SampleRate() const { return mImpl->rate; }
int SoundReader::Channels() const { return mImpl->Channels(); }
uint64_t SoundReader::ChannelMask() const {
    return mImpl->outLayout.order == AV_CHANNEL_ORDER_NATIVE ? mImpl->outLayout.u.mask : 0;
}
std::string SoundReader::CodecName() const { return mImpl->layout.audioCodec; }
int SoundReader::SeekCount() const { return mImpl->seeks; }

bool SoundReader::DamagedSpan(RationalTime& from, RationalTime& to) const {
    return mImpl->damage.Span(mImpl->layout, mImpl->stream->time_base, from, to);
}

bool SoundReader::ReadableEnd(RationalTime& end) const {
    if (!mImpl->endedEarly) return false;
    end = RationalTime{mImpl->decodedEnd, 1, mImpl->rate};
    return true;
}

OSErr SoundReader::Read(int64_t start, int64_t end, int32_t scale, DecodedSound& out) {
    Impl& r = *mImpl;
    if (scale <= 0 || end < start) return paramErr;
    const int channels = r.Channels();
    const int64_t s0 = av_rescale(start, r.rate, scale);
    const int64_t s1 = av_rescale(end, r.rate, scale);
    out.sampleRate = r.rate;
    out.channels = channels;
    out.channelMask = ChannelMask();
    out.firstSample = s0;
    out.frames = 0;
    out.samples.clear();
    if (s1 <= s0) return noErr;

    const int64_t ahead = int64_t(kSeekAheadSeconds) * r.rate;
    bool seek = r.positionKnown ? (s0 < r.bufferStart || s0 > r.DecodedEnd() + ahead) : (r.seeks > 0 || s0 > ahead);
    if (seek) r.Seek(s0);

    // Reserve for what a track can hold in a few seconds; longer spans grow.
    out.samples.reserve(size_t(std::min<int64_t>(s1 - s0, int64_t(r.rate) * 4)) * channels);
    int64_t p = s0;
    while (p < s1) {
        if (r.Available() == 0) {
            if (!r.Refill()) break;
            continue;
        }
        if (r.DecodedEnd() <= p) {
            r.Consume(r.Available());
            continue;
        }
        if (r.bufferStart < p) {
            r.Consume(size_t(p - r.bufferStart));
            continue;
        }
        if (r.bufferStart > p) {  // a gap in the track: silence
            int64_t n = std::min(r.bufferStart, s1) - p;
            out.samples.insert(out.samples.end(), size_t(n) * channels, 0.0f);
            p += n;
            continue;
        }
        size_t n = size_t(std::min<int64_t>(int64_t(r.Available()), s1 - p));
        const float* src = r.buffer.data() + r.bufferOffset * channels;
        out.samples.insert(out.samples.end(), src, src + n * channels);
        r.Consume(n);
        p += int64_t(n);
    }
    out.frames = p - s0;
    return noErr;
}
