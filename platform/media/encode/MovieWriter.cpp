#include "platform/media/encode/MovieWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/media/AVHandles.h"
#include "platform/media/CopiedTrackMuxing.h"
#include "platform/media/encode/EncodeErrors.h"
#include "platform/media/encode/FixedPalette.h"
#include "platform/media/encode/OutputCodecCheck.h"
#include "platform/media/encode/SoundEncoder.h"
#include "platform/media/encode/VideoEncoder.h"

namespace {

[[noreturn]] void Fail(OSErr code, const std::string& message) { throw LException(code, message); }

// The sample description type written for a codec type in a .mov file; 0
// lets the muxer choose its usual one.
uint32_t MovTag(OSType type, bool isMp4) {
    const OSType hvc1 = FourCC("hvc1");
    if (type == hvc1) return MKTAG('h', 'v', 'c', '1');
    if (isMp4) return 0;
    for (const char* t : {"raw ", "mjpa", "apcn", "apch", "apcs", "apco", "ap4h"}) {
        const uint32_t tag = MKTAG(t[0], t[1], t[2], t[3]);
        if (type == (OSType(uint8_t(t[0])) << 24 | OSType(uint8_t(t[1])) << 16 | OSType(uint8_t(t[2])) << 8 |
                     OSType(uint8_t(t[3]))))
            return tag;
    }
    return 0;
}

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutType(std::vector<uint8_t>& out, const char* type) { out.insert(out.end(), type, type + 4); }

// The muxer refuses a movie without tracks, but a source with neither
// picture nor sound still makes one: a file type and a movie header alone.
std::vector<uint8_t> EmptyMovie(bool isMp4) {
    std::vector<uint8_t> out;
    if (isMp4) {
        PutBE32(out, 28);
        PutType(out, "ftyp");
        PutType(out, "isom");
        PutBE32(out, 0x200);
        for (const char* brand : {"isom", "iso2", "mp41"}) PutType(out, brand);
    } else {
        PutBE32(out, 20);
        PutType(out, "ftyp");
        PutType(out, "qt  ");
        PutBE32(out, 0x200);
        PutType(out, "qt  ");
    }
    PutBE32(out, 8 + 108);
    PutType(out, "moov");
    PutBE32(out, 108);
    PutType(out, "mvhd");
    PutBE32(out, 0);                    // version and flags
    PutBE32(out, 0);                    // created
    PutBE32(out, 0);                    // modified
    PutBE32(out, isMp4 ? 1000 : 600);   // time scale
    PutBE32(out, 0);                    // duration
    PutBE32(out, 0x00010000);           // rate 1.0
    out.push_back(1);                   // volume 1.0
    out.push_back(0);
    out.insert(out.end(), 10, 0);       // reserved
    for (uint32_t m : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u}) PutBE32(out, m);
    out.insert(out.end(), 24, 0);       // preview, poster, selection, current time
    PutBE32(out, 1);                    // next track id
    return out;
}

struct Track {
    AVStream* stream = nullptr;
    AVRational sourceTimeBase{1, 600};
    int64_t lastDts = AV_NOPTS_VALUE;
    bool needsPalette = false;
};

}  // namespace

struct MovieWriter::Impl {
    std::string path;  // as messages name it
    bool removeOnAbort = true;
    bool isMp4 = false;
    media::av::FormatOutput format;
    media::av::Packet packet;
    Track video, sound;
    std::vector<Track> copied;
    bool headerWritten = false;
    bool finished = false;

    void EnsureHeader() {
        if (headerWritten) return;
        AVDictionary* options = nullptr;
        av_dict_set(&options, "movflags", "+faststart", 0);
        if (video.stream && video.sourceTimeBase.num == 1 && video.sourceTimeBase.den <= 100000)
            av_dict_set_int(&options, "video_track_timescale", video.sourceTimeBase.den, 0);
        const int rc = avformat_write_header(format.get(), &options);
        av_dict_free(&options);
        if (rc < 0)
            Fail(kContainerCodecErr, "The output movie cannot hold these tracks: " + media::av::ErrorText(rc));
        headerWritten = true;
    }

    AVStream* NewStream(Track& track, const StreamParameters& parameters, uint32_t tag) {
        if (!format) Fail(kWriteMovieErr, "The output movie is not open.");
        if (headerWritten) Fail(kWriteMovieErr, "Tracks must be added before the first sample is written.");
        if (track.stream) Fail(kWriteMovieErr, "The movie already has that track.");
        const AVCodecParameters* source = parameters.CodecParameters();
        if (!source) Fail(paramErr, "No stream description for the new track.");
        AVStream* st = avformat_new_stream(format.get(), nullptr);
        if (!st || avcodec_parameters_copy(st->codecpar, source) < 0) throw std::bad_alloc();
        st->codecpar->codec_tag = tag;
        // The compressed picture and sound are the ones played; copied
        // tracks of the same kind are alternatives.
        if (&track == &video || &track == &sound) st->disposition = AV_DISPOSITION_DEFAULT;
        const MediaTimeBase tb = parameters.TimeBase();
        track.sourceTimeBase = AVRational{tb.num, tb.den};
        st->time_base = track.sourceTimeBase;
        track.stream = st;
        return st;
    }

    void Write(Track& track, const EncodedPacket& p, const char* what) {
        if (!format || finished) Fail(kWriteMovieErr, "The output movie is not open.");
        if (!track.stream) Fail(kWriteMovieErr, std::string("The movie has no ") + what + " track.");
        EnsureHeader();
        AVPacket* pkt = packet.get();
        av_packet_unref(pkt);
        pkt->data = const_cast<uint8_t*>(p.data.data());
        pkt->size = int(p.data.size());
        pkt->stream_index = track.stream->index;
        pkt->pts = p.pts;
        pkt->dts = p.dts;
        pkt->duration = p.duration;
        pkt->flags = p.keyFrame ? AV_PKT_FLAG_KEY : 0;
        av_packet_rescale_ts(pkt, track.sourceTimeBase, track.stream->time_base);
        // A track's decoding times must rise; a sample that would break that
        // (e.g. a second encoder's priming) is moved just after its predecessor.
        if (track.lastDts != AV_NOPTS_VALUE && pkt->dts <= track.lastDts) {
            pkt->dts = track.lastDts + 1;
            if (pkt->pts != AV_NOPTS_VALUE && pkt->pts < pkt->dts)
                Fail(kWriteMovieErr, std::string("A ") + what + " sample goes back in time.");
        }
        if (track.needsPalette) {
            const auto& colors = FixedPalette::Colors();
            uint8_t* side = av_packet_new_side_data(pkt, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
            if (!side) throw std::bad_alloc();
            for (size_t i = 0; i < colors.size(); ++i) {
                // Native-endian 32-bit entries, as FFmpeg keeps palettes.
                const uint32_t c = colors[i];
                std::memcpy(side + 4 * i, &c, 4);
            }
            track.needsPalette = false;
        }
        track.lastDts = pkt->dts;
        const int rc = av_write_frame(format.get(), pkt);
        av_packet_free_side_data(pkt);
        pkt->data = nullptr;
        pkt->size = 0;
        if (rc < 0) Fail(kWriteMovieErr, "Writing the output movie failed: " + media::av::ErrorText(rc));
    }
};

MovieWriter::MovieWriter() = default;

MovieWriter::~MovieWriter() {
    if (mImpl && !mImpl->finished) Abort();
}

bool MovieWriter::IsMp4Path(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".mp4";
}

bool MovieWriter::CanHoldCopiedSound(const StreamParameters& parameters, bool isMp4) {
    const AVCodecParameters* p = parameters.CodecParameters();
    if (!p || p->codec_type != AVMEDIA_TYPE_AUDIO) return false;
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, isMp4 ? "mp4" : "mov", nullptr) < 0 || !raw) return false;
    media::av::FormatOutput trial(raw);
    AVStream* st = avformat_new_stream(raw, nullptr);
    if (!st || avcodec_parameters_copy(st->codecpar, p) < 0) return false;
    st->codecpar->codec_tag = 0;
    const MediaTimeBase tb = parameters.TimeBase();
    st->time_base = AVRational{tb.num, tb.den};
    // A header written into memory and thrown away.
    if (avio_open_dyn_buf(&raw->pb) < 0) return false;
    const int rc = avformat_write_header(raw, nullptr);
    uint8_t* bytes = nullptr;
    avio_close_dyn_buf(raw->pb, &bytes);
    av_free(bytes);
    raw->pb = nullptr;
    return rc >= 0;
}

void MovieWriter::Create(const std::string& path, bool isMp4) { Open(path, path, true, isMp4); }

// The muxer opens its file by name, once for writing and once more to read
// it back when it moves the movie resource to the front; the descriptor's
// own name in /proc reaches the open file whatever its path now names.
void MovieWriter::Create(int descriptor, const std::string& shownName, bool isMp4) {
    Open("/proc/self/fd/" + std::to_string(descriptor), shownName, false, isMp4);
}

void MovieWriter::Open(const std::string& url, const std::string& shownName, bool removeOnAbort, bool isMp4) {
    if (mImpl && !mImpl->finished) Abort();
    auto m = std::make_unique<Impl>();
    m->path = shownName;
    m->removeOnAbort = removeOnAbort;
    m->isMp4 = isMp4;
    AVFormatContext* ctx = nullptr;
    int rc = avformat_alloc_output_context2(&ctx, nullptr, isMp4 ? "mp4" : "mov", url.c_str());
    m->format.reset(ctx);
    m->packet = media::av::MakePacket();
    if (rc < 0 || !ctx || !m->packet) Fail(kWriteMovieErr, "Cannot make a movie for " + shownName + ".");
    rc = avio_open(&ctx->pb, url.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) Fail(kWriteMovieErr, "Cannot create " + shownName + ": " + media::av::ErrorText(rc));
    mImpl = std::move(m);
}

void MovieWriter::AddVideoTrack(const VideoEncoder& encoder) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    std::string message;
    if (!CheckContainerAcceptsVideo(encoder.CodecType(), mImpl->isMp4, message)) Fail(kContainerCodecErr, message);
    AVStream* st = mImpl->NewStream(mImpl->video, encoder.Parameters(), MovTag(encoder.CodecType(), mImpl->isMp4));
    st->sample_aspect_ratio = AVRational{1, 1};
    mImpl->video.needsPalette = st->codecpar->format == AV_PIX_FMT_PAL8;
}

void MovieWriter::AddSoundTrack(const SoundEncoder& encoder) {
    AddSoundTrack(encoder.CompressionType(), encoder.Parameters());
}

void MovieWriter::AddSoundTrack(OSType compressionType, const StreamParameters& parameters) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    std::string message;
    if (!CheckContainerAcceptsSound(compressionType, mImpl->isMp4, message)) Fail(kContainerCodecErr, message);
    mImpl->NewStream(mImpl->sound, parameters, 0);
}

void MovieWriter::AddCopiedSoundTrack(const StreamParameters& parameters) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    const AVCodecParameters* p = parameters.CodecParameters();
    if (!p || p->codec_type != AVMEDIA_TYPE_AUDIO) Fail(paramErr, "The copied track is not sound.");
    if (avformat_query_codec(mImpl->format->oformat, p->codec_id, FF_COMPLIANCE_NORMAL) != 1)
        Fail(kContainerCodecErr, std::string("The source's sound (") + avcodec_get_name(p->codec_id) +
                                     ") cannot be copied into " + (mImpl->isMp4 ? "an MP4" : "a QuickTime") +
                                     " movie.");
    mImpl->NewStream(mImpl->sound, parameters, 0);
}

int MovieWriter::AddCopiedTrack(const CopiedTrack& track) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    mImpl->copied.emplace_back();
    AVStream* st = nullptr;
    try {
        st = mImpl->NewStream(mImpl->copied.back(), track.parameters, 0);
    } catch (...) {
        mImpl->copied.pop_back();
        throw;
    }
    DescribeCopiedStream(st, track);
    return int(mImpl->copied.size()) - 1;
}

void MovieWriter::SetDetails(const MovieDetails& details) {
    if (!mImpl || !mImpl->format) Fail(kWriteMovieErr, "The output movie is not open.");
    if (mImpl->headerWritten) Fail(kWriteMovieErr, "Details must be set before the first sample is written.");
    AddMovieDetails(mImpl->format.get(), details);
}

bool MovieWriter::HasVideoTrack() const { return mImpl && mImpl->video.stream; }
bool MovieWriter::HasSoundTrack() const { return mImpl && mImpl->sound.stream; }

void MovieWriter::WriteVideoPacket(const EncodedPacket& packet) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    mImpl->Write(mImpl->video, packet, "video");
}

void MovieWriter::WriteSoundPacket(const EncodedPacket& packet) {
    if (!mImpl) Fail(kWriteMovieErr, "The output movie is not open.");
    mImpl->Write(mImpl->sound, packet, "sound");
}

void MovieWriter::WriteCopiedPacket(int track, const EncodedPacket& packet) {
    if (!mImpl || track < 0 || track >= int(mImpl->copied.size())) Fail(kWriteMovieErr, "The movie has no such track.");
    mImpl->Write(mImpl->copied[size_t(track)], packet, "copied");
}

void MovieWriter::Finish() {
    if (!mImpl || mImpl->finished) Fail(kWriteMovieErr, "The output movie is not open.");
    try {
        AVFormatContext* ctx = mImpl->format.get();
        if (ctx->nb_streams == 0) {
            const std::vector<uint8_t> bytes = EmptyMovie(mImpl->isMp4);
            avio_write(ctx->pb, bytes.data(), int(bytes.size()));
        } else {
            mImpl->EnsureHeader();
            const int rc = av_write_trailer(ctx);
            if (rc < 0) Fail(kWriteMovieErr, "Finishing the output movie failed: " + media::av::ErrorText(rc));
        }
        if (ctx->pb && avio_closep(&ctx->pb) < 0) Fail(kWriteMovieErr, "Closing the output movie failed.");
        mImpl->finished = true;
        mImpl->format.reset();
    } catch (...) {
        Abort();
        throw;
    }
}

void MovieWriter::Abort() {
    if (!mImpl) return;
    const bool created = mImpl->format != nullptr;
    mImpl->format.reset();  // closes the file
    if (created && mImpl->removeOnAbort) std::remove(mImpl->path.c_str());
    mImpl->finished = true;
}
