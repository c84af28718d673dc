#include "platform/media/source/SoundPacketReader.h"

#include <algorithm>

#include "platform/media/source/MovieProbe.h"
#include "platform/media/source/SourceErrors.h"

namespace av = media::av;

struct SoundPacketReader::Impl {
    MovieLayout layout;
    av::FormatInput input;
    AVStream* stream = nullptr;
    av::Packet packet = av::MakePacket();
    StreamParameters parameters;
    int64_t origin = 0;  // movie time 0 in the track's time base
    bool done = false;
    int64_t readEnd = 0;      // the end of the packets read so far, from movie time 0
    bool endedEarly = false;  // the data ran out well before the track's end
    movie_probe::FileReach reach;
};

SoundPacketReader::SoundPacketReader() : mImpl(std::make_unique<Impl>()) {}
SoundPacketReader::~SoundPacketReader() = default;

std::unique_ptr<SoundPacketReader> SoundPacketReader::Open(const std::string& path) {
    std::unique_ptr<SoundPacketReader> reader(new SoundPacketReader());
    Impl& r = *reader->mImpl;
    r.input = movie_probe::OpenAndDescribe(path, r.layout);
    if (r.layout.audioStream < 0) throw LException(kTrackNotInMovieErr, "The movie \"" + path + "\" has no sound.");
    r.stream = r.input->streams[r.layout.audioStream];
    movie_probe::ChooseDemuxedTracks(r.input.get(), r.layout.audioStream);
    r.parameters = StreamParameters::FromCodecParameters(
        r.stream->codecpar, MediaTimeBase{r.stream->time_base.num, r.stream->time_base.den});
    r.origin = movie_probe::OriginIn(r.layout, r.stream->time_base);
    if (!r.packet) throw LException(memFullErr, "Out of memory.");
    return reader;
}

const StreamParameters& SoundPacketReader::Parameters() const { return mImpl->parameters; }

MediaTimeBase SoundPacketReader::TimeBase() const {
    return MediaTimeBase{mImpl->stream->time_base.num, mImpl->stream->time_base.den};
}

bool SoundPacketReader::Next(EncodedPacket& out) {
    Impl& r = *mImpl;
    while (!r.done) {
        int rc = av_read_frame(r.input.get(), r.packet.get());
        if (rc < 0) {
            // The end, or data that cannot be read: whatever came before stays.
            r.done = true;
            const int64_t end = movie_probe::TrackEnd(r.layout, r.input.get(), r.stream, r.reach);
            const int64_t tenth = av_rescale_q(1, AVRational{1, 10}, r.stream->time_base);
            r.endedEarly = end != AV_NOPTS_VALUE && r.readEnd + tenth < end - r.origin;
            break;
        }
        AVPacket* p = r.packet.get();
        r.reach.Note(r.input.get(), p);
        if (p->stream_index != r.layout.audioStream || p->size <= 0) {
            av_packet_unref(p);
            continue;
        }
        int64_t pts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
        int64_t dts = p->dts != AV_NOPTS_VALUE ? p->dts : pts;
        out.data.assign(p->data, p->data + p->size);
        out.pts = pts != AV_NOPTS_VALUE ? pts - r.origin : 0;
        out.dts = dts != AV_NOPTS_VALUE ? dts - r.origin : out.pts;
        out.duration = p->duration;
        r.readEnd = std::max(r.readEnd, out.pts + std::max<int64_t>(out.duration, 0));
        out.keyFrame = (p->flags & AV_PKT_FLAG_KEY) != 0;
        av_packet_unref(p);
        return true;
    }
    return false;
}

bool SoundPacketReader::ReadableEnd(RationalTime& end) const {
    if (!mImpl->endedEarly) return false;
    end = RationalTime{mImpl->readEnd, mImpl->stream->time_base.num, mImpl->stream->time_base.den};
    return true;
}

void SoundPacketReader::Rewind() {
    // Opening again is the one way back to the first packet that every
    // container honours exactly (seeks land on index entries).
    Impl& r = *mImpl;
    r.input = movie_probe::OpenInput(r.layout.path);
    if (int(r.input->nb_streams) <= r.layout.audioStream)
        throw LException(kInvalidMovieErr, "The movie \"" + r.layout.path + "\" changed while it was open.");
    r.stream = r.input->streams[r.layout.audioStream];
    movie_probe::ChooseDemuxedTracks(r.input.get(), r.layout.audioStream);
    r.done = false;
}
