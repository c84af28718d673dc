#include "platform/media/source/CopiedTrackReader.h"

extern "C" {
#include <libavutil/display.h>
}

#include <cstring>
#include <span>

#include "platform/media/source/MovieProbe.h"
#include "platform/media/source/SourceErrors.h"

namespace av = media::av;

namespace {

// Written by the muxer itself, or meaningless in another file.
constexpr const char* kMovieTagsNotCopied[] = {"major_brand", "minor_version", "compatible_brands", "encoder"};
constexpr const char* kTrackTagsCopied[] = {"language", "title", "handler_name"};
constexpr size_t kLargestTextSample = 256 * 1024;

std::string TrackName(const AVStream* s, int number) {
    const char* kind = s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO      ? "sound"
                       : s->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE ? "subtitle"
                                                                         : "video";
    return std::string("The ") + kind + " track " + std::to_string(number) + " (" +
           avcodec_get_name(s->codecpar->codec_id) + ")";
}

MediaTags CopyTags(const AVDictionary* from, bool onlyTrackTags) {
    MediaTags tags;
    const AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(from, "", e, AV_DICT_IGNORE_SUFFIX))) {
        bool wanted = !onlyTrackTags;
        const std::span<const char* const> listed = onlyTrackTags ? std::span<const char* const>(kTrackTagsCopied)
                                                                  : std::span<const char* const>(kMovieTagsNotCopied);
        for (const char* key : listed)
            if (std::strcmp(e->key, key) == 0) wanted = onlyTrackTags;
        if (wanted) tags.emplace_back(e->key, e->value);
    }
    return tags;
}

}  // namespace

struct CopiedTrackReader::Impl {
    struct Source {
        int stream = -1;
        int64_t origin = 0;        // movie time 0 in the stream's time base
        av::CodecContext decoder;  // set when the text is rewritten
        av::CodecContext encoder;
    };
    MovieLayout layout;
    av::FormatInput input;
    std::vector<CopiedTrack> tracks;
    std::vector<Source> sources;            // by track
    std::vector<int> trackOfStream;         // -1: not copied
    MovieDetails details;
    std::vector<std::string> leftOut;
    av::Packet packet = av::MakePacket();
    std::vector<uint8_t> text = std::vector<uint8_t>(kLargestTextSample);

    bool AddTrack(AVStream* s, const AVOutputFormat* container, bool forMp4);
    bool Rewrite(Source& source, const AVPacket* p, EncodedPacket& out);
};

// A text kind the container cannot hold becomes MPEG-4 timed text.
bool CopiedTrackReader::Impl::AddTrack(AVStream* s, const AVOutputFormat* container, bool forMp4) {
    const AVCodecParameters* p = s->codecpar;
    const MediaTimeBase timeBase{s->time_base.num, s->time_base.den};
    CopiedTrack track;
    Source source;
    source.stream = s->index;
    source.origin = movie_probe::OriginIn(layout, s->time_base);
    if (avformat_query_codec(container, p->codec_id, FF_COMPLIANCE_NORMAL) == 1) {
        track.parameters = StreamParameters::FromCodecParameters(p, timeBase);
    } else {
        const AVCodecDescriptor* kind = avcodec_descriptor_get(p->codec_id);
        const AVCodec* timedText = avcodec_find_encoder(AV_CODEC_ID_MOV_TEXT);
        if (p->codec_type != AVMEDIA_TYPE_SUBTITLE || !kind || !(kind->props & AV_CODEC_PROP_TEXT_SUB) || !timedText) {
            leftOut.push_back(TrackName(s, s->index + 1) + " cannot go into " + (forMp4 ? "an MPEG-4" : "a QuickTime") +
                              " movie and is left out.");
            return false;
        }
        try {
            source.decoder = movie_probe::OpenDecoder(s);
        } catch (const LException&) {
            leftOut.push_back(TrackName(s, s->index + 1) + " cannot be read and is left out.");
            return false;
        }
        source.encoder.reset(avcodec_alloc_context3(timedText));
        if (!source.encoder) throw LException(memFullErr, "Out of memory.");
        source.encoder->time_base = s->time_base;
        if (source.decoder->subtitle_header_size > 0) {
            source.encoder->subtitle_header = static_cast<uint8_t*>(av_mallocz(source.decoder->subtitle_header_size + 1));
            if (!source.encoder->subtitle_header) throw LException(memFullErr, "Out of memory.");
            std::memcpy(source.encoder->subtitle_header, source.decoder->subtitle_header, source.decoder->subtitle_header_size);
            source.encoder->subtitle_header_size = source.decoder->subtitle_header_size;
        }
        if (avcodec_open2(source.encoder.get(), timedText, nullptr) < 0) {
            leftOut.push_back(TrackName(s, s->index + 1) + " cannot be turned into timed text and is left out.");
            return false;
        }
        track.parameters = StreamParameters::FromCodecContext(source.encoder.get(), timeBase);
    }
    track.tags = CopyTags(s->metadata, true);
    track.isDefault = (s->disposition & AV_DISPOSITION_DEFAULT) != 0;
    size_t size = 0;
    if (const uint8_t* matrix = av_stream_get_side_data(s, AV_PKT_DATA_DISPLAYMATRIX, &size); matrix && size >= 36)
        track.displayMatrix.assign(matrix, matrix + 36);
    trackOfStream[s->index] = int(tracks.size());
    tracks.push_back(std::move(track));
    sources.push_back(std::move(source));
    return true;
}

bool CopiedTrackReader::Impl::Rewrite(Source& source, const AVPacket* p, EncodedPacket& out) {
    av::Subtitle subtitle;
    int got = 0;
    if (avcodec_decode_subtitle2(source.decoder.get(), &subtitle.value, &got, const_cast<AVPacket*>(p)) < 0 || !got ||
        subtitle.value.num_rects == 0)
        return false;  // nothing to show: the sample is left out
    subtitle.value.start_display_time = 0;
    const int size = avcodec_encode_subtitle(source.encoder.get(), text.data(), int(text.size()), &subtitle.value);
    if (size <= 0) return false;
    out.data.assign(text.begin(), text.begin() + size);
    return true;
}

CopiedTrackReader::CopiedTrackReader() : mImpl(std::make_unique<Impl>()) {}
CopiedTrackReader::~CopiedTrackReader() = default;

std::unique_ptr<CopiedTrackReader> CopiedTrackReader::Open(const std::string& path, bool forMp4, Selection which) {
    std::unique_ptr<CopiedTrackReader> reader(new CopiedTrackReader());
    Impl& r = *reader->mImpl;
    r.input = movie_probe::OpenAndDescribe(path, r.layout);
    AVFormatContext* in = r.input.get();
    const AVOutputFormat* container = av_guess_format(forMp4 ? "mp4" : "mov", nullptr, nullptr);
    if (!container || !r.packet) throw LException(memFullErr, "Out of memory.");
    r.trackOfStream.assign(in->nb_streams, -1);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* s = in->streams[i];
        const AVMediaType type = s->codecpar->codec_type;
        const bool every = which == Selection::Every;
        const bool wanted = (type == AVMEDIA_TYPE_SUBTITLE) ||
                            (type == AVMEDIA_TYPE_AUDIO && (every || int(i) != r.layout.audioStream)) ||
                            (type == AVMEDIA_TYPE_VIDEO && every && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC));
        if (!wanted || !r.AddTrack(s, container, forMp4)) s->discard = AVDISCARD_ALL;
    }
    r.details.tags = CopyTags(in->metadata, false);
    for (unsigned i = 0; i < in->nb_chapters; ++i) {
        const AVChapter* c = in->chapters[i];
        const int64_t origin = movie_probe::OriginIn(r.layout, c->time_base);
        const AVDictionaryEntry* title = av_dict_get(c->metadata, "title", nullptr, 0);
        r.details.chapters.push_back({c->start - origin, c->end - origin, {c->time_base.num, c->time_base.den},
                                     title ? title->value : ""});
    }
    return reader;
}

const std::vector<CopiedTrack>& CopiedTrackReader::Tracks() const { return mImpl->tracks; }
const MovieDetails& CopiedTrackReader::Details() const { return mImpl->details; }
const std::vector<std::string>& CopiedTrackReader::LeftOut() const { return mImpl->leftOut; }

bool CopiedTrackReader::IsEmpty() const {
    return mImpl->tracks.empty() && mImpl->details.chapters.empty() && mImpl->details.tags.empty();
}

bool CopiedTrackReader::Next(int& track, EncodedPacket& out) {
    Impl& r = *mImpl;
    if (r.tracks.empty()) return false;
    for (;;) {
        AVPacket* p = r.packet.get();
        const int rc = av_read_frame(r.input.get(), p);
        if (rc == AVERROR_EOF) return false;
        if (rc < 0) throw LException(ioErr, "The movie \"" + r.layout.path + "\" cannot be read (" + av::ErrorText(rc) + ").");
        const int index = p->stream_index < int(r.trackOfStream.size()) ? r.trackOfStream[p->stream_index] : -1;
        Impl::Source* source = index >= 0 ? &r.sources[index] : nullptr;
        const bool kept = source && p->size > 0 &&
                          (source->encoder ? r.Rewrite(*source, p, out) : (out.data.assign(p->data, p->data + p->size), true));
        if (kept) {
            const int64_t pts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
            const bool reordered = r.input->streams[p->stream_index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
            const int64_t dts = p->dts != AV_NOPTS_VALUE || reordered ? p->dts : pts;
            out.pts = pts != AV_NOPTS_VALUE ? pts - source->origin : 0;
            out.dts = dts != AV_NOPTS_VALUE ? dts - source->origin : reordered ? kUnknownDecodeTime : out.pts;
            out.duration = p->duration;
            // Sound packets go back to back; one whose length the file left out
            // (Matroska's first AAC packet) lasts a codec frame.
            const AVStream* s = r.input->streams[p->stream_index];
            if (out.duration <= 0 && s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && s->codecpar->frame_size > 0 &&
                s->codecpar->sample_rate > 0)
                out.duration = av_rescale_q(s->codecpar->frame_size, AVRational{1, s->codecpar->sample_rate}, s->time_base);
            out.keyFrame = (p->flags & AV_PKT_FLAG_KEY) != 0 || source->encoder;
            track = index;
        }
        av_packet_unref(p);
        if (kept) return true;
    }
}
