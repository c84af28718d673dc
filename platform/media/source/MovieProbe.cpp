#include "platform/media/source/MovieProbe.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/display.h>
}

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/media/source/MovieUserData.h"
#include "platform/media/source/SourceErrors.h"

namespace movie_probe {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The picture's colour tags as stored, with the reserved codes read as
// untagged; RGB and palette pictures count as RGB, JPEG-style YUV as full range.
ColourDescription ColourOf(const AVCodecParameters* p) {
    auto tag = [](int code) { return code == 0 || code == 3 ? colour::kUnspecified : code; };
    ColourDescription c;
    c.primaries = tag(p->color_primaries);
    c.transfer = tag(p->color_trc);
    c.matrix = tag(p->color_space);
    c.fullRange = p->color_range == AVCOL_RANGE_JPEG;
    if (const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(p->format))) {
        c.bitDepth = d->comp[0].depth;
        if (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) {
            c.matrix = colour::kRgb;
            c.fullRange = true;
        }
        if (std::string(d->name).rfind("yuvj", 0) == 0) c.fullRange = true;
    }
    return c;
}

bool IsEnabled(const AVStream* s, bool quickTimeFamily) {
    // The mov demuxer marks tracks whose header says "enabled" as default.
    return !quickTimeFamily || (s->disposition & AV_DISPOSITION_DEFAULT);
}

int FindStream(const AVFormatContext* f, AVMediaType type, bool quickTimeFamily) {
    for (unsigned i = 0; i < f->nb_streams; ++i) {
        const AVStream* s = f->streams[i];
        const AVCodecParameters* p = s->codecpar;
        if (p->codec_type != type || p->codec_id == AV_CODEC_ID_NONE) continue;
        if (!IsEnabled(s, quickTimeFamily)) continue;
        if (type == AVMEDIA_TYPE_VIDEO) {
            if (s->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
            if (p->width <= 0 || p->height <= 0) continue;
        }
        if (type == AVMEDIA_TYPE_AUDIO && p->sample_rate <= 0) continue;
        return int(i);
    }
    return -1;
}

// The orientation part of a display matrix, as a matrix of 0 and +-1
// entries (its scale and translation do not matter here).
MovieMatrix DisplayOrientation(const AVStream* s) {
    MovieMatrix m;
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(s, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!data || size < 9 * sizeof(int32_t)) return m;
    int32_t dm[9];
    std::memcpy(dm, data, sizeof dm);
    double a = dm[0] / 65536.0, b = dm[1] / 65536.0, c = dm[3] / 65536.0, d = dm[4] / 65536.0;
    auto sign = [](double v) { return v < 0 ? -1.0 : 1.0; };
    if (std::fabs(a) + std::fabs(d) >= std::fabs(b) + std::fabs(c)) {
        m.Set(0, 0, sign(a));
        m.Set(1, 1, sign(d));
    } else {
        m.Set(0, 0, 0);
        m.Set(1, 1, 0);
        m.Set(0, 1, sign(b));
        m.Set(1, 0, sign(c));
    }
    return m;
}

}  // namespace

media::av::FormatInput OpenInput(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) throw LException(fnfErr, "The file " + Quoted(path) + " does not exist.");
        throw LException(ioErr, "The file " + Quoted(path) + " cannot be read: " + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) throw LException(ioErr, Quoted(path) + " is a folder, not a movie file.");
    if (st.st_size == 0) throw LException(kNoMovieFoundErr, "The file " + Quoted(path) + " is empty.");
    if (::access(path.c_str(), R_OK) != 0)
        throw LException(ioErr, "The file " + Quoted(path) + " cannot be read: " + std::strerror(errno));

    AVFormatContext* raw = nullptr;
    AVDictionary* options = nullptr;
    // A movie never makes the reader open anything but local files.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0)
        throw LException(kNoMovieFoundErr, "The file " + Quoted(path) + " is not a movie that can be opened (" +
                                               media::av::ErrorText(rc) + ").");
    media::av::FormatInput input(raw);
    rc = avformat_find_stream_info(input.get(), nullptr);
    if (rc < 0)
        throw LException(kInvalidMovieErr, "The movie " + Quoted(path) + " cannot be read (" +
                                               media::av::ErrorText(rc) + ").");
    if (input->nb_streams == 0) throw LException(kInvalidMovieErr, "The movie " + Quoted(path) + " has no tracks.");
    return input;
}

MovieLayout Describe(AVFormatContext* f, const std::string& path) {
    MovieLayout l;
    l.path = path;
    l.containerName = f->iformat && f->iformat->name ? f->iformat->name : "";
    l.isQuickTimeFamily = l.containerName.find("mov") != std::string::npos ||
                          l.containerName.find("mp4") != std::string::npos;
    l.videoStream = FindStream(f, AVMEDIA_TYPE_VIDEO, l.isQuickTimeFamily);
    l.audioStream = FindStream(f, AVMEDIA_TYPE_AUDIO, l.isQuickTimeFamily);
    if (l.videoStream < 0 && l.audioStream < 0) {
        bool anyTrack = false;
        for (unsigned i = 0; i < f->nb_streams; ++i) {
            auto type = f->streams[i]->codecpar->codec_type;
            anyTrack |= type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO;
        }
        if (!anyTrack) throw LException(kNoMovieFoundErr, "The file " + Quoted(path) + " holds no pictures or sound.");
    }

    // Time origin: where the first frame (or, without pictures, the sound) starts.
    const AVStream* lead = l.videoStream >= 0 ? f->streams[l.videoStream]
                                              : l.audioStream >= 0 ? f->streams[l.audioStream] : nullptr;
    if (lead && lead->start_time != AV_NOPTS_VALUE) {
        l.origin = RationalTime{lead->start_time, lead->time_base.num, lead->time_base.den};
    } else if (f->start_time != AV_NOPTS_VALUE) {
        l.origin = RationalTime{f->start_time, 1, AV_TIME_BASE};
    } else {
        l.origin = RationalTime{0, 1, AV_TIME_BASE};
    }

    int32_t scale = 0;
    int64_t duration = -1;
    if (!l.isQuickTimeFamily || !MovieUserData::ReadMovieHeader(path, scale, duration)) scale = 0;
    l.timeScale = scale > 0 ? scale : 600;
    if (scale > 0 && duration > 0) {
        l.duration = duration;
    } else if (f->duration != AV_NOPTS_VALUE && f->duration > 0) {
        l.duration = av_rescale_q_rnd(f->duration, AVRational{1, AV_TIME_BASE}, AVRational{1, l.timeScale},
                                      AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    } else {
        int64_t end = 0;
        for (unsigned i = 0; i < f->nb_streams; ++i) {
            const AVStream* s = f->streams[i];
            if (s->duration == AV_NOPTS_VALUE || s->duration <= 0) continue;
            end = std::max(end, av_rescale_q(s->duration, s->time_base, AVRational{1, l.timeScale}));
        }
        l.duration = end;
    }

    if (l.videoStream >= 0) {
        AVStream* s = f->streams[l.videoStream];
        l.codedWidth = s->codecpar->width;
        l.codedHeight = s->codecpar->height;
        AVRational sar = av_guess_sample_aspect_ratio(f, s, nullptr);
        if (sar.num > 0 && sar.den > 0 && av_q2d(sar) > 1.0 / 16 && av_q2d(sar) < 16) {
            av_reduce(&l.sarNum, &l.sarDen, sar.num, sar.den, 1 << 20);
        }
        double displayWidth = std::max(1.0, std::round(l.codedWidth * double(l.sarNum) / l.sarDen));
        MovieMatrix m;
        m.Scale(displayWidth / l.codedWidth, 1.0);
        m.Concat(DisplayOrientation(s));
        MovieRect box = m.MapRect(MovieRect::OfSize(l.codedWidth, l.codedHeight));
        m.Translate(-box.left, -box.top);
        l.frameToBox = m;
        l.boxWidth = int(std::lround(box.Width()));
        l.boxHeight = int(std::lround(box.Height()));
        AVRational rate = av_guess_frame_rate(f, s, nullptr);
        l.frameRate = rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0.0;
        l.videoCodec = avcodec_get_name(s->codecpar->codec_id);
        l.colour = ColourOf(s->codecpar);
    }
    if (l.audioStream >= 0) {
        const AVCodecParameters* p = f->streams[l.audioStream]->codecpar;
        l.audioCodec = avcodec_get_name(p->codec_id);
        l.audioSampleRate = p->sample_rate;
        l.audioChannels = p->ch_layout.nb_channels;
    }
    return l;
}

media::av::FormatInput OpenAndDescribe(const std::string& path, MovieLayout& layout) {
    media::av::FormatInput input = OpenInput(path);
    layout = Describe(input.get(), path);
    return input;
}

int64_t OriginIn(const MovieLayout& l, AVRational tb) {
    return av_rescale_q(l.origin.value, AVRational{l.origin.num, l.origin.den}, tb);
}

int64_t ToMovieTimeCeil(const MovieLayout& l, int64_t sourceTime, AVRational tb) {
    return av_rescale_q_rnd(sourceTime - OriginIn(l, tb), tb, AVRational{1, l.timeScale}, AV_ROUND_UP);
}

int64_t FromMovieTime(const MovieLayout& l, int64_t movieTime, AVRational tb) {
    return OriginIn(l, tb) + av_rescale_q(movieTime, AVRational{1, l.timeScale}, tb);
}

void FileReach::Note(const AVFormatContext* f, const AVPacket* p) {
    if (p->stream_index < 0 || unsigned(p->stream_index) >= f->nb_streams) return;
    const int64_t t = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
    if (t == AV_NOPTS_VALUE) return;
    const AVRational tb = f->streams[p->stream_index]->time_base;
    mEnd = std::max(mEnd, av_rescale_q(t + std::max<int64_t>(p->duration, 0), tb, AV_TIME_BASE_Q));
}

namespace {

bool IsPictureOrSound(const AVStream* s) {
    return s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO || s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
}

int PictureAndSoundTracks(const AVFormatContext* f) {
    int tracks = 0;
    for (unsigned i = 0; i < f->nb_streams; ++i) tracks += IsPictureOrSound(f->streams[i]);
    return tracks;
}

// The header gives the movie's length but not this track's, and there are
// other tracks that may be the longer one.
bool OnlyMovieLength(const AVFormatContext* f, const AVStream* s) {
    return f->duration_estimation_method == AVFMT_DURATION_FROM_STREAM && !(s->duration > 0) &&
           f->duration != AV_NOPTS_VALUE && f->duration > 0 && PictureAndSoundTracks(f) > 1;
}

}  // namespace

void DecodeDamage::Note(int64_t time) {
    if (time == AV_NOPTS_VALUE) return;
    mFrom = std::min(mFrom, time);
    mTo = std::max(mTo, time);
}

bool DecodeDamage::Span(const MovieLayout& l, AVRational tb, RationalTime& from, RationalTime& to) const {
    if (mFrom > mTo) return false;
    const int64_t origin = OriginIn(l, tb);
    from = RationalTime{std::max<int64_t>(0, mFrom - origin), tb.num, tb.den};
    to = RationalTime{std::max<int64_t>(0, mTo - origin), tb.num, tb.den};
    return true;
}

void DecodeDamage::NoteResult(int result, int64_t time) {
    if (result < 0 && result != AVERROR(EAGAIN) && result != AVERROR_EOF) Note(time);
}

void DecodeDamage::NoteFrame(const AVFrame* f) {
    // A missing reference alone is how open GOPs start, not damage.
    if (f->decode_error_flags & ~FF_DECODE_ERROR_MISSING_REFERENCE)
        Note(f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts);
}

void ChooseDemuxedTracks(AVFormatContext* f, int wanted) {
    const bool reachAll = wanted >= 0 && unsigned(wanted) < f->nb_streams && OnlyMovieLength(f, f->streams[wanted]);
    for (unsigned i = 0; i < f->nb_streams; ++i) {
        const bool keep = int(i) == wanted || (reachAll && IsPictureOrSound(f->streams[i]));
        f->streams[i]->discard = keep ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

int64_t TrackEnd(const MovieLayout& l, const AVFormatContext* f, const AVStream* s, const FileReach& reach) {
    // Only what the header itself says: durations guessed from the bit rate
    // or the last time stamps cannot tell a damaged file from a whole one.
    if (f->duration_estimation_method != AVFMT_DURATION_FROM_STREAM) return AV_NOPTS_VALUE;
    if (s->duration != AV_NOPTS_VALUE && s->duration > 0)
        return (s->start_time != AV_NOPTS_VALUE ? s->start_time : 0) + s->duration;
    if (f->duration == AV_NOPTS_VALUE || f->duration <= 0) return AV_NOPTS_VALUE;
    const int64_t movieEnd = OriginIn(l, s->time_base) + av_rescale_q(f->duration, AV_TIME_BASE_Q, s->time_base);
    // The movie's length is a track's when it is the one track.
    if (PictureAndSoundTracks(f) == 1) return movieEnd;
    // Otherwise a picture track may end before the sound, but some track
    // should reach the movie's length: when none comes near it, the file was
    // cut off and every track was meant to go on.
    const int64_t start = f->start_time != AV_NOPTS_VALUE ? f->start_time : 0;
    if (reach.End() == INT64_MIN || reach.End() - start + AV_TIME_BASE / 2 < f->duration) return movieEnd;
    return AV_NOPTS_VALUE;
}

media::av::CodecContext OpenDecoder(const AVStream* s) {
    const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!codec)
        throw LException(kCodecErr, std::string("There is no decoder for ") + avcodec_get_name(s->codecpar->codec_id) + ".");
    media::av::CodecContext ctx(avcodec_alloc_context3(codec));
    if (!ctx) throw LException(memFullErr, "Out of memory.");
    int rc = avcodec_parameters_to_context(ctx.get(), s->codecpar);
    if (rc >= 0) {
        ctx->thread_count = 0;
        ctx->pkt_timebase = s->time_base;
        rc = avcodec_open2(ctx.get(), codec, nullptr);
    }
    if (rc < 0)
        throw LException(kCodecErr, std::string("The ") + codec->name + " decoder cannot be started (" +
                                        media::av::ErrorText(rc) + ").");
    return ctx;
}

}  // namespace movie_probe
