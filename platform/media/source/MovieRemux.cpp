#include "platform/media/source/MovieRemux.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <unistd.h>

#include "platform/media/CopiedTrackMuxing.h"
#include "platform/media/source/CopiedTrackReader.h"
#include "platform/media/source/SourceErrors.h"

namespace av = media::av;
namespace fs = std::filesystem;

namespace {

bool EndsWithMp4(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".mp4";
}

// Removes the temporary file unless the remux got as far as renaming it.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : mPath(std::move(path)) {}
    ~TemporaryFile() {
        if (!mPath.empty()) ::unlink(mPath.c_str());
    }
    const std::string& Path() const { return mPath; }
    void Release() { mPath.clear(); }

private:
    std::string mPath;
};

[[noreturn]] void Fail(const std::string& destination, const std::string& why) {
    throw LException(ioErr, "The movie \"" + destination + "\" cannot be written (" + why + ").");
}

// An output context holding every track the reader copies, with the
// movie's details; the answer is the container's own error or 0.
// The file name is where faststart reads the data back from.
av::FormatOutput MakeOutput(const CopiedTrackReader& reader, bool mp4, const std::string& destinationPath,
                            const char* fileName = nullptr) {
    AVFormatContext* raw = nullptr;
    const int rc = avformat_alloc_output_context2(&raw, nullptr, mp4 ? "mp4" : "mov", fileName);
    if (rc < 0 || !raw) Fail(destinationPath, av::ErrorText(rc));
    av::FormatOutput output(raw);
    for (const CopiedTrack& track : reader.Tracks()) {
        AVStream* o = avformat_new_stream(raw, nullptr);
        if (!o || avcodec_parameters_copy(o->codecpar, track.parameters.CodecParameters()) < 0)
            Fail(destinationPath, "out of memory");
        o->codecpar->codec_tag = 0;  // the muxer picks the tag for its container
        o->time_base = AVRational{track.parameters.TimeBase().num, track.parameters.TimeBase().den};
        DescribeCopiedStream(o, track);
    }
    if (raw->nb_streams == 0) Fail(destinationPath, "no track of the movie can be copied");
    AddMovieDetails(raw, reader.Details());
    return output;
}

}  // namespace

std::string CopyExtensionFor(const std::string& sourcePath) {
    const auto reader = CopiedTrackReader::Open(sourcePath, false, CopiedTrackReader::Selection::Every);
    if (!reader->LeftOut().empty()) return "mp4";
    // A trial header written to memory says whether the tracks fit.
    bool fits = false;
    try {
        av::FormatOutput output = MakeOutput(*reader, false, sourcePath);
        if (avio_open_dyn_buf(&output->pb) >= 0) {
            fits = avformat_write_header(output.get(), nullptr) >= 0;
            uint8_t* bytes = nullptr;
            avio_close_dyn_buf(output->pb, &bytes);
            av_free(bytes);
            output->pb = nullptr;
        }
    } catch (const LException&) {
        fits = false;
    }
    return fits ? "mov" : "mp4";
}

void RemuxMovie(const std::string& sourcePath, const std::string& destinationPath) {
    const bool mp4 = EndsWithMp4(destinationPath);
    const auto reader = CopiedTrackReader::Open(sourcePath, mp4, CopiedTrackReader::Selection::Every);
    fs::path destination(destinationPath);
    std::string tempName = "." + destination.filename().string() + ".part-" + std::to_string(::getpid());
    TemporaryFile temp((destination.parent_path() / tempName).string());

    av::FormatOutput output = MakeOutput(*reader, mp4, destinationPath, temp.Path().c_str());
    AVFormatContext* out = output.get();
    int rc = avio_open(&out->pb, temp.Path().c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(out, &options);
    av_dict_free(&options);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));

    av::Packet packet = av::MakePacket();
    if (!packet) Fail(destinationPath, "out of memory");
    int track = 0;
    EncodedPacket sample;
    while (reader->Next(track, sample)) {
        if (av_new_packet(packet.get(), int(sample.data.size())) < 0) Fail(destinationPath, "out of memory");
        std::copy(sample.data.begin(), sample.data.end(), packet->data);
        packet->pts = sample.pts;
        packet->dts = sample.dts == kUnknownDecodeTime ? AV_NOPTS_VALUE : sample.dts;
        packet->duration = sample.duration;
        packet->flags = sample.keyFrame ? AV_PKT_FLAG_KEY : 0;
        packet->stream_index = track;
        const MediaTimeBase tb = reader->Tracks()[size_t(track)].parameters.TimeBase();
        av_packet_rescale_ts(packet.get(), AVRational{tb.num, tb.den}, out->streams[track]->time_base);
        rc = av_interleaved_write_frame(out, packet.get());  // takes the packet's data
        if (rc < 0) Fail(destinationPath, av::ErrorText(rc));
    }
    rc = av_write_trailer(out);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));
    rc = avio_closep(&out->pb);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));

    std::error_code ec;
    fs::rename(temp.Path(), destination, ec);
    if (ec) Fail(destinationPath, ec.message());
    temp.Release();
}
