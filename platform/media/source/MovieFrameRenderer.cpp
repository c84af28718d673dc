#include "platform/media/source/MovieFrameRenderer.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/media/WorldPixelFormat.h"
#include "platform/media/source/Deinterlacer.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieProbe.h"
#include "platform/media/source/SourceErrors.h"
#include "platform/media/source/ToneMapper.h"

namespace av = media::av;

namespace {

// Decoding forward costs less than seeking until the target is this far
// beyond the last frame, unless the index shows a key frame in between.
constexpr double kSeekAheadSeconds = 0.5;
constexpr double kSeekAheadWithoutIndexSeconds = 5.0;

bool CanCropByPointers(AVPixelFormat format) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
    return d && !(d->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL));
}

// Row length for scaler output: 32 pixels of slack, 64-byte aligned.
int PaddedStride(int width, int bytesPerPixel) { return (((width + 32) * bytesPerPixel + 63) / 64) * 64; }

// Where intermediate pixel (u, v) of a w x h picture lands after the mirror
// and the clockwise quarter turns: out = (a*u + b*v + c, d*u + e*v + f).
struct PixelMap {
    int a, b, c, d, e, f;
};

PixelMap OrientationMap(int w, int h, bool mirrored, int turns) {
    auto apply = [&](int u, int v) {
        int x = u, y = v, cw = w, ch = h;
        if (mirrored) x = cw - 1 - x;
        for (int t = 0; t < turns; ++t) {
            int nx = ch - 1 - y, ny = x;
            x = nx;
            y = ny;
            std::swap(cw, ch);
        }
        return std::pair<int, int>(x, y);
    };
    auto o = apply(0, 0), ux = apply(1, 0), vy = apply(0, 1);
    return PixelMap{ux.first - o.first, vy.first - o.first, o.first, ux.second - o.second, vy.second - o.second,
                    o.second};
}

// Copies a scaled picture (iw x ih, `bpp` bytes a pixel) into a plane at
// (x0, y0), mirrored and turned as `parts` says. In tiles, so that the
// strided side stays within a few cache lines; when a quarter turn makes
// the writes strided, walks the output rows instead: strided reads are
// cheaper than strided writes.
void PlacePlane(const uint8_t* src, int srcStride, int iw, int ih, int bpp, uint8_t* plane, int planeStride, int x0,
                int y0, const MatrixParts& parts) {
    if (parts.Orientation() == 0) {
        for (int v = 0; v < ih; ++v)
            std::memcpy(plane + ptrdiff_t(y0 + v) * planeStride + ptrdiff_t(x0) * bpp, src + ptrdiff_t(v) * srcStride,
                        size_t(iw) * bpp);
        return;
    }
    const PixelMap m = OrientationMap(iw, ih, parts.mirrored, parts.quarterTurns);
    const ptrdiff_t stride = planeStride;
    const ptrdiff_t du = ptrdiff_t(m.a) * bpp + ptrdiff_t(m.d) * stride;
    const ptrdiff_t dv = ptrdiff_t(m.b) * bpp + ptrdiff_t(m.e) * stride;
    uint8_t* origin = plane + ptrdiff_t(y0 + m.f) * stride + ptrdiff_t(x0 + m.c) * bpp;
    constexpr int kTile = 32;
    const bool readAcross = parts.SwapsAxes();
    auto copyPixel = [bpp](uint8_t* out, const uint8_t* in) {
        if (bpp == 1) *out = *in;
        else if (bpp == 2) std::memcpy(out, in, 2);
        else if (bpp == 3) std::memcpy(out, in, 3);
        else std::memcpy(out, in, 4);
    };
    for (int v0 = 0; v0 < ih; v0 += kTile) {
        const int v1 = std::min(ih, v0 + kTile);
        for (int u0 = 0; u0 < iw; u0 += kTile) {
            const int u1 = std::min(iw, u0 + kTile);
            if (readAcross) {
                for (int u = u0; u < u1; ++u) {
                    const uint8_t* in = src + ptrdiff_t(v0) * srcStride + ptrdiff_t(u) * bpp;
                    uint8_t* out = origin + ptrdiff_t(v0) * dv + ptrdiff_t(u) * du;
                    for (int v = v0; v < v1; ++v, in += srcStride, out += dv) copyPixel(out, in);
                }
                continue;
            }
            for (int v = v0; v < v1; ++v) {
                const uint8_t* in = src + ptrdiff_t(v) * srcStride + ptrdiff_t(u0) * bpp;
                uint8_t* out = origin + ptrdiff_t(v) * dv + ptrdiff_t(u0) * du;
                for (int u = u0; u < u1; ++u, in += bpp, out += du) copyPixel(out, in);
            }
        }
    }
}

}  // namespace

struct MovieFrameRenderer::Impl {
    MovieLayout layout;
    av::FormatInput input;
    AVStream* stream = nullptr;
    av::CodecContext decoder;
    av::Packet packet = av::MakePacket();
    av::Frame current = av::MakeFrame();
    av::Frame pending = av::MakeFrame();
    bool haveCurrent = false, havePending = false;
    // Presentation times in the stream's time base.
    int64_t currentPts = 0, pendingPts = 0;
    bool atStart = true;        // nothing consumed since the start of the stream
    bool demuxDone = false;     // end of file reached, decoder being drained
    int64_t lastPacketDts = AV_NOPTS_VALUE;
    // The highest picture stamp read, and where stamps first went back from
    // it by more than reordering explains (joined recordings).
    int64_t highestDts = AV_NOPTS_VALUE, highestEnd = AV_NOPTS_VALUE;
    int64_t startsOverAfter = AV_NOPTS_VALUE;
    int64_t lastTimestamp = AV_NOPTS_VALUE;
    int seeks = 0;
    int64_t lastDrawn = -1;
    // The end of the latest frame decoded, and whether the data ran out
    // well before the track's end (a damaged or incomplete file).
    int64_t decodedEnd = AV_NOPTS_VALUE;
    bool endedEarly = false;
    movie_probe::FileReach reach;
    movie_probe::DecodeDamage damage;
    std::unique_ptr<Deinterlacer> deinterlacer;
    FrameObserver observer;

    MovieMatrix matrix;
    int outWidth = 1, outHeight = 1;

    ColourDescription sourceColour;
    std::unique_ptr<ToneMapper> toneMapper;  // set when HDR pictures are brought down to SDR

    struct SwsContext* sws = nullptr;
    std::array<int, 4> swsColour{-1, -1, -1, -1};  // source matrix and range, world matrix and range
    std::array<int, 6> swsKey{};
    std::vector<uint8_t> scratch;       // scaled picture before it is turned
    std::vector<uint8_t> fullFrame;     // exotic pixel formats: the frame in RGBA first
    struct SwsContext* fullSws = nullptr;

    ~Impl() {
        sws_freeContext(sws);
        sws_freeContext(fullSws);
    }

    // A frame's usual length in the stream's time base, at least one unit.
    int64_t TypicalDuration() const {
        if (layout.frameRate <= 0) return 1;
        const double units = double(stream->time_base.den) / (stream->time_base.num * layout.frameRate);
        return std::max<int64_t>(1, int64_t(std::llround(units)));
    }

    int64_t FramePts(const AVFrame* f) {
        int64_t ts = f->best_effort_timestamp;
        if (ts == AV_NOPTS_VALUE) ts = f->pts;
        if (ts == AV_NOPTS_VALUE && lastTimestamp != AV_NOPTS_VALUE)
            ts = lastTimestamp + std::max<int64_t>(f->pkt_duration, 1);
        if (ts == AV_NOPTS_VALUE) ts = movie_probe::OriginIn(layout, stream->time_base);
        lastTimestamp = ts;
        const int64_t end = ts + (f->pkt_duration > 0 ? f->pkt_duration : TypicalDuration());
        if (decodedEnd == AV_NOPTS_VALUE || end > decodedEnd) decodedEnd = end;
        return ts;
    }

    // Decoding has reached the end of what the file holds.
    void NoteEnd() {
        const int64_t expected = movie_probe::TrackEnd(layout, input.get(), stream, reach);
        endedEarly = expected != AV_NOPTS_VALUE &&
                     (decodedEnd == AV_NOPTS_VALUE || decodedEnd + TypicalDuration() < expected);
    }

    // The next frame in presentation order, interlaced pictures made
    // whole; false at the end.
    bool DecodeNext(AVFrame* into) {
        return deinterlacer->Next(into, [this](AVFrame* frame) { return DecodeFromFile(frame); });
    }

    // The decoder's next frame in presentation order; false at the end.
    bool DecodeFromFile(AVFrame* into) {
        for (;;) {
            int rc = avcodec_receive_frame(decoder.get(), into);
            if (rc == 0) {
                damage.NoteFrame(into);
                return true;
            }
            if (rc == AVERROR_EOF || demuxDone) {
                NoteEnd();
                return false;
            }
            damage.NoteResult(rc, lastPacketDts);
            // Wanting input, or a broken frame: either way the next packet.
            rc = av_read_frame(input.get(), packet.get());
            if (rc < 0) {
                demuxDone = true;
                avcodec_send_packet(decoder.get(), nullptr);
                continue;
            }
            reach.Note(input.get(), packet.get());
            if (packet->stream_index == layout.videoStream) {
                NoteStamp(packet.get());
                if (packet->dts != AV_NOPTS_VALUE) lastPacketDts = packet->dts;
                // A bad packet is skipped, and noted.
                damage.NoteResult(avcodec_send_packet(decoder.get(), packet.get()), packet->dts);
            }
            av_packet_unref(packet.get());
        }
    }

    void NoteStamp(const AVPacket* p) {
        const int64_t dts = p->dts;
        if (dts == AV_NOPTS_VALUE) return;
        // Half a second back is more than any muxer's stamp jitter.
        const int64_t slack = std::max<int64_t>(1, stream->time_base.den / std::max(1, 2 * stream->time_base.num));
        if (highestDts != AV_NOPTS_VALUE && dts < highestDts - slack && startsOverAfter == AV_NOPTS_VALUE)
            startsOverAfter = highestEnd;
        if (startsOverAfter != AV_NOPTS_VALUE) return;
        if (highestDts == AV_NOPTS_VALUE || dts > highestDts) highestDts = dts;
        const int64_t end = (p->pts != AV_NOPTS_VALUE ? p->pts : dts) + std::max<int64_t>(p->duration, 0);
        if (highestEnd == AV_NOPTS_VALUE || end > highestEnd) highestEnd = end;
    }

    void SeekTo(int64_t target, double backoffSeconds) {
        target -= int64_t(backoffSeconds * stream->time_base.den / std::max(1, stream->time_base.num));
        if (av_seek_frame(input.get(), layout.videoStream, target, AVSEEK_FLAG_BACKWARD) < 0)
            avformat_seek_file(input.get(), layout.videoStream, INT64_MIN, target, target, 0);
        avcodec_flush_buffers(decoder.get());
        deinterlacer->Reset();
        haveCurrent = havePending = false;
        demuxDone = false;
        atStart = false;
        lastTimestamp = lastPacketDts = AV_NOPTS_VALUE;
        highestDts = highestEnd = AV_NOPTS_VALUE;  // going back by a seek is no start-over
        ++seeks;
    }

    bool FarAhead(int64_t target) {
        if (!haveCurrent) return false;
        const double gap = double(target - currentPts) * av_q2d(stream->time_base);
        if (gap <= kSeekAheadSeconds) return false;
        if (avformat_index_get_entries_count(stream) <= 0) return gap > kSeekAheadWithoutIndexSeconds;
        int i = av_index_search_timestamp(stream, target, AVSEEK_FLAG_BACKWARD);
        if (i < 0) return false;
        const AVIndexEntry* key = avformat_index_get_entry(stream, i);
        return key && lastPacketDts != AV_NOPTS_VALUE && key->timestamp > lastPacketDts;
    }

    // The last frame whose presentation time is at or before `target`
    // (stream time base) becomes current. False without any frame.
    bool Advance(int64_t target) {
        const int64_t origin = movie_probe::OriginIn(layout, stream->time_base);
        bool seek = (haveCurrent && target < currentPts) ||
                    (!haveCurrent && havePending && target < pendingPts && !atStart) || FarAhead(target);
        if (seek) SeekTo(target, 0);
        // After a seek, the key frame found may still lie after the target
        // (reordered frames): step further back a few times before settling.
        for (int attempt = 0;; ++attempt) {
            while (true) {
                if (!havePending) {
                    if (!DecodeNext(pending.get())) {
                        if (observer) observer(nullptr, 0, seeks);
                        break;
                    }
                    havePending = true;
                    pendingPts = FramePts(pending.get());
                    if (observer) observer(pending.get(), pendingPts, seeks);
                }
                if (haveCurrent && pendingPts > target) break;
                std::swap(current, pending);
                av_frame_unref(pending.get());
                havePending = false;
                haveCurrent = true;
                currentPts = pendingPts;
                if (currentPts > target) break;
            }
            if (!haveCurrent || currentPts <= target || atStart || attempt >= 4 || target < origin) break;
            SeekTo(target, double(1 << attempt));
        }
        if (haveCurrent) atStart = false;
        return haveCurrent;
    }

    // The frame shown at time t is the last one stamped at or before t. A
    // stamp is rounded to the stream's time base, so a frame counts from
    // half a unit before its stamp (at most a millisecond): a 30 fps frame
    // stamped 67/1000 is the one shown at 2/30 second.
    int64_t TargetFor(const RationalTime& t) const {
        using Wide = __int128;
        const AVRational tb = stream->time_base;
        // t / unit = a / b; the allowance = c / d of a unit.
        const Wide a = Wide(t.value) * t.num * tb.den, b = Wide(std::max(1, t.den)) * tb.num;
        Wide c = 1, d = 2;
        if (Wide(1000) * tb.num > Wide(2) * tb.den) {
            c = tb.den;
            d = Wide(1000) * tb.num;
        }
        const Wide n = a * d + c * b, q = b * d;
        Wide floor = n / q;
        if (n % q != 0 && n < 0) --floor;
        return movie_probe::OriginIn(layout, tb) + int64_t(floor);
    }

    void FillBlack(OffscreenWorld& world) { world.Fill(0, 0, 0, 255); }

    // From the frame's own tags, or the source's description where it has
    // none; to full-range RGB, or to the planar world's own matrix and range.
    void UpdateColorDetails(struct SwsContext* ctx, const AVFrame* f, bool force, const OffscreenWorld& world) {
        const int cs = f->colorspace == AVCOL_SPC_UNSPECIFIED ? sourceColour.matrix : int(f->colorspace);
        const int range = f->color_range == AVCOL_RANGE_UNSPECIFIED ? int(sourceColour.fullRange)
                                                                     : int(f->color_range == AVCOL_RANGE_JPEG);
        const bool planar = world.IsPlanar();
        const std::array<int, 4> key{cs, range, planar ? world.Colour().matrix : -1,
                                     planar ? int(world.Colour().fullRange) : 1};
        if (!force && key == swsColour) return;
        swsColour = key;
        const int* to = planar ? sws_getCoefficients(key[2]) : sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(ctx, sws_getCoefficients(cs), range, to, key[3], 0, 1 << 16, 1 << 16);
    }

    OSErr Draw(const AVFrame* f, OffscreenWorld& world) {
        const int bpp = world.BytesPerPixel();
        const AVPixelFormat outFormat = av::PixelFormatOf(world);
        const int fw = f->width, fh = f->height;
        if (fw <= 0 || fh <= 0) {
            FillBlack(world);
            return kCodecErr;
        }
        // Frame pixels -> box -> output.
        MovieMatrix total;
        if (fw != layout.codedWidth || fh != layout.codedHeight)
            total.Scale(double(layout.codedWidth) / fw, double(layout.codedHeight) / fh);
        total.Concat(layout.frameToBox).Concat(matrix);
        MatrixParts parts = total.Decompose();
        MovieMatrix inverse;
        if (!parts.valid || !total.Invert(inverse)) {
            FillBlack(world);
            return paramErr;
        }
        MovieRect mapped = total.MapRect(MovieRect::OfSize(fw, fh));
        int vx0 = std::max(0, int(std::lround(mapped.left))), vy0 = std::max(0, int(std::lround(mapped.top)));
        int vx1 = std::min(outWidth, int(std::lround(mapped.right)));
        int vy1 = std::min(outHeight, int(std::lround(mapped.bottom)));
        if (vx1 <= vx0 || vy1 <= vy0) {
            FillBlack(world);
            return noErr;
        }
        if (vx0 > 0 || vy0 > 0 || vx1 < outWidth || vy1 < outHeight) FillBlack(world);

        // The part of the frame that shows, in whole pixels.
        MovieRect source = inverse.MapRect(MovieRect::Make(vx0, vy0, vx1, vy1));
        int sx0 = std::clamp(int(std::floor(source.left + 1e-6)), 0, fw - 1);
        int sy0 = std::clamp(int(std::floor(source.top + 1e-6)), 0, fh - 1);
        int sx1 = std::clamp(int(std::ceil(source.right - 1e-6)), sx0 + 1, fw);
        int sy1 = std::clamp(int(std::ceil(source.bottom - 1e-6)), sy0 + 1, fh);

        const uint8_t* planes[4] = {};
        int strides[4] = {};
        AVPixelFormat inFormat = AVPixelFormat(f->format);
        const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(inFormat);
        if (!desc) {
            FillBlack(world);
            return kCodecErr;
        }
        if (CanCropByPointers(inFormat)) {
            // Chroma planes can only start on whole chroma samples.
            int ax = (1 << desc->log2_chroma_w) - 1, ay = (1 << desc->log2_chroma_h) - 1;
            sx0 &= ~ax;
            sy0 &= ~ay;
            for (int p = 0; p < 4 && f->data[p]; ++p) {
                int step = 0;
                bool chroma = false;
                for (int c = 0; c < desc->nb_components; ++c)
                    if (desc->comp[c].plane == p) {
                        step = desc->comp[c].step;
                        chroma = (desc->nb_components >= 3) && (c == 1 || c == 2);
                    }
                int x = chroma ? sx0 >> desc->log2_chroma_w : sx0;
                int y = chroma ? sy0 >> desc->log2_chroma_h : sy0;
                planes[p] = f->data[p] + ptrdiff_t(y) * f->linesize[p] + ptrdiff_t(x) * step;
                strides[p] = f->linesize[p];
            }
        } else {
            // Palette, bit-packed formats: whole frame to RGBA, crop from that.
            fullSws = sws_getCachedContext(fullSws, fw, fh, inFormat, fw, fh, AV_PIX_FMT_RGBA, SWS_POINT, nullptr,
                                           nullptr, nullptr);
            if (!fullSws) {
                FillBlack(world);
                return kCodecErr;
            }
            int fullStride = PaddedStride(fw, 4);
            if (fullFrame.size() < size_t(fullStride) * (fh + 1)) fullFrame.resize(size_t(fullStride) * (fh + 1));
            uint8_t* dst[4] = {fullFrame.data()};
            int dstStride[4] = {fullStride};
            sws_scale(fullSws, f->data, f->linesize, 0, fh, dst, dstStride);
            inFormat = AV_PIX_FMT_RGBA;
            planes[0] = fullFrame.data() + ptrdiff_t(sy0) * fullStride + ptrdiff_t(sx0) * 4;
            strides[0] = fullStride;
        }
        int cw = sx1 - sx0, ch = sy1 - sy0;
        int vw = vx1 - vx0, vh = vy1 - vy0;
        int iw = parts.SwapsAxes() ? vh : vw, ih = parts.SwapsAxes() ? vw : vh;

        struct SwsContext* fresh = sws_getCachedContext(sws, cw, ch, inFormat, iw, ih, outFormat,
                                                        SWS_BICUBIC,
                                                        nullptr, nullptr, nullptr);
        if (!fresh) {
            FillBlack(world);
            return kCodecErr;
        }
        // A context rebuilt for new sizes starts with default colour details.
        std::array<int, 6> key{cw, ch, int(inFormat), iw, ih, int(outFormat)};
        bool rebuilt = fresh != sws || key != swsKey;
        sws = fresh;
        swsKey = key;
        UpdateColorDetails(sws, f, rebuilt, world);

        // The scaler's SIMD paths write whole blocks of pixels past the
        // width, so it only ever writes into this padded scratch buffer, one
        // part a plane. 4:2:0 colour planes are half size at half the offset.
        const int planeCount = world.PlaneCount();
        uint8_t* dst[4] = {};
        int dstStride[4] = {};
        size_t offsets[3] = {}, needed = 0;
        for (int p = 0; p < planeCount; ++p) {
            const int half = p > 0 ? 1 : 0;
            dstStride[p] = PaddedStride((iw + half) >> half, p == 0 ? bpp : world.SampleBytes());
            offsets[p] = needed;
            needed += size_t(dstStride[p]) * (((ih + half) >> half) + 1);
        }
        if (scratch.size() < needed) scratch.resize(needed);
        for (int p = 0; p < planeCount; ++p) dst[p] = scratch.data() + offsets[p];
        sws_scale(sws, planes, strides, 0, ch, dst, dstStride);
        for (int p = 0; p < planeCount; ++p) {
            const int half = p > 0 ? 1 : 0;
            int pw = (iw + half) >> half, ph = (ih + half) >> half;
            const int x = vx0 >> half, y = vy0 >> half;
            // Rounding the halves may reach one past the plane's edge.
            int& across = parts.SwapsAxes() ? ph : pw;
            int& down = parts.SwapsAxes() ? pw : ph;
            across = std::min(across, world.PlaneWidth(p) - x);
            down = std::min(down, world.PlaneHeight(p) - y);
            if (pw > 0 && ph > 0)
                PlacePlane(dst[p], dstStride[p], pw, ph, p == 0 ? bpp : world.SampleBytes(), world.Plane(p),
                           world.PlaneStride(p), x, y, parts);
        }
        return noErr;
    }
};

MovieFrameRenderer::MovieFrameRenderer(const Movie& movie) : MovieFrameRenderer(movie.Layout()) {}

MovieFrameRenderer::MovieFrameRenderer(const MovieLayout& layout) : mImpl(std::make_unique<Impl>()) {
    Impl& r = *mImpl;
    if (layout.videoStream < 0)
        throw LException(kTrackNotInMovieErr, "The movie \"" + layout.path + "\" has no pictures.");
    MovieLayout reopened;
    r.input = movie_probe::OpenAndDescribe(layout.path, reopened);
    r.layout = layout;
    if (reopened.videoStream != layout.videoStream)
        throw LException(kInvalidMovieErr, "The movie \"" + layout.path + "\" changed while it was open.");
    r.stream = r.input->streams[layout.videoStream];
    movie_probe::ChooseDemuxedTracks(r.input.get(), layout.videoStream);
    r.decoder = movie_probe::OpenDecoder(r.stream);
    r.deinterlacer = std::make_unique<Deinterlacer>(r.stream->time_base);
    if (!r.packet || !r.current || !r.pending) throw LException(memFullErr, "Out of memory.");
    r.outWidth = std::max(1, layout.boxWidth);
    r.outHeight = std::max(1, layout.boxHeight);
    r.sourceColour = layout.colour.WithConventions(layout.codedWidth, layout.codedHeight);
}

MovieFrameRenderer::~MovieFrameRenderer() = default;

void MovieFrameRenderer::SetMatrix(const MovieMatrix& boxToOutput, int outWidth, int outHeight) {
    mImpl->matrix = boxToOutput;
    mImpl->outWidth = std::max(1, outWidth);
    mImpl->outHeight = std::max(1, outHeight);
}

int MovieFrameRenderer::OutputWidth() const { return mImpl->outWidth; }
int MovieFrameRenderer::OutputHeight() const { return mImpl->outHeight; }
void MovieFrameRenderer::SetColour(const ColourDescription& source, bool toneMapToSdr) {
    mImpl->sourceColour = source;
    mImpl->toneMapper = toneMapToSdr ? std::make_unique<ToneMapper>(source) : nullptr;
    mImpl->swsColour = {-1, -1, -1, -1};
}

bool MovieFrameRenderer::MetInterlacedPictures() const { return mImpl->deinterlacer->SawInterlaced(); }
int64_t MovieFrameRenderer::LastFrameTime() const { return mImpl->lastDrawn; }
int MovieFrameRenderer::SeekCount() const { return mImpl->seeks; }

OSErr MovieFrameRenderer::DrawFrameAt(int64_t movieTime, OffscreenWorld& world) {
    return DrawFrameAt(RationalTime{movieTime, 1, mImpl->layout.timeScale}, world);
}

OSErr MovieFrameRenderer::DrawFrameAt(const RationalTime& time, OffscreenWorld& world) {
    Impl& r = *mImpl;
    if (!r.Advance(r.TargetFor(time))) return DrawDecodedFrame(nullptr, world);
    r.lastDrawn = movie_probe::ToMovieTimeCeil(r.layout, r.currentPts, r.stream->time_base);
    return DrawDecodedFrame(r.current.get(), world);
}

void MovieFrameRenderer::SetFrameObserver(FrameObserver observer) { mImpl->observer = std::move(observer); }

int64_t MovieFrameRenderer::StampAt(int64_t movieTime) const {
    return mImpl->TargetFor(RationalTime{movieTime, 1, mImpl->layout.timeScale});
}

bool MovieFrameRenderer::DecodeFrameAt(int64_t movieTime) { return mImpl->Advance(StampAt(movieTime)); }

OSErr MovieFrameRenderer::DrawDecodedFrame(const AVFrame* frame, OffscreenWorld& world) {
    Impl& r = *mImpl;
    if (world.Width() != r.outWidth || world.Height() != r.outHeight)
        world.Allocate(r.outWidth, r.outHeight, world.PixelFormat());
    if (frame == nullptr) {
        r.FillBlack(world);
        return kCodecErr;
    }
    if (!r.toneMapper) return r.Draw(frame, world);
    const AVFrame* mapped = r.toneMapper->Apply(frame);
    if (!mapped) {
        r.FillBlack(world);
        return kCodecErr;
    }
    return r.Draw(mapped, world);
}

bool MovieFrameRenderer::NextFrameTime(RationalTime& time) const {
    const Impl& r = *mImpl;
    if (!r.haveCurrent || !r.havePending) return false;
    const AVRational tb = r.stream->time_base;
    time = RationalTime{r.pendingPts - movie_probe::OriginIn(r.layout, tb), tb.num, tb.den};
    return true;
}

bool MovieFrameRenderer::DamagedSpan(RationalTime& from, RationalTime& to) const {
    return mImpl->damage.Span(mImpl->layout, mImpl->stream->time_base, from, to);
}

bool MovieFrameRenderer::TimesStartOverLater(RationalTime& after) {
    Impl& r = *mImpl;
    // Only formats that allow it are read on; the reader is at most at the
    // end of what was drawn, so this reads the rest of the file once.
    if (r.startsOverAfter == AV_NOPTS_VALUE && (r.input->iformat->flags & AVFMT_TS_DISCONT) && !r.demuxDone) {
        while (r.startsOverAfter == AV_NOPTS_VALUE && av_read_frame(r.input.get(), r.packet.get()) >= 0) {
            if (r.packet->stream_index == r.layout.videoStream) r.NoteStamp(r.packet.get());
            av_packet_unref(r.packet.get());
        }
        r.demuxDone = true;
    }
    if (r.startsOverAfter == AV_NOPTS_VALUE) return false;
    const AVRational tb = r.stream->time_base;
    after = RationalTime{r.startsOverAfter - movie_probe::OriginIn(r.layout, tb), tb.num, tb.den};
    return true;
}

bool MovieFrameRenderer::ReadableEnd(RationalTime& end) const {
    const Impl& r = *mImpl;
    if (!r.endedEarly) return false;
    const AVRational tb = r.stream->time_base;
    const int64_t decoded = r.decodedEnd == AV_NOPTS_VALUE ? movie_probe::OriginIn(r.layout, tb) : r.decodedEnd;
    end = RationalTime{decoded - movie_probe::OriginIn(r.layout, tb), tb.num, tb.den};
    return true;
}
