#include "platform/media/source/MovieRemux.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>
#include <unistd.h>

#include "platform/media/source/MovieProbe.h"
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

// Adds a copy of every track the container can carry, in order; the
// answer maps source stream indexes to output ones (-1: left out).
std::vector<int> AddCopiedStreams(AVFormatContext* in, AVFormatContext* out, const std::string& destinationPath) {
    std::vector<int> map(in->nb_streams, -1);
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        AVStream* s = in->streams[i];
        AVMediaType type = s->codecpar->codec_type;
        if (type != AVMEDIA_TYPE_VIDEO && type != AVMEDIA_TYPE_AUDIO && type != AVMEDIA_TYPE_SUBTITLE) continue;
        if (s->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
        if (avformat_query_codec(out->oformat, s->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 1) continue;
        AVStream* o = avformat_new_stream(out, nullptr);
        if (!o) Fail(destinationPath, "out of memory");
        if (avcodec_parameters_copy(o->codecpar, s->codecpar) < 0) Fail(destinationPath, "out of memory");
        o->codecpar->codec_tag = 0;  // let the muxer pick the tag for its container
        o->time_base = s->time_base;
        o->disposition = s->disposition;
        av_dict_copy(&o->metadata, s->metadata, 0);
        for (int k = 0; k < s->nb_side_data; ++k) {  // display matrix and the like
            const AVPacketSideData& sd = s->side_data[k];
            uint8_t* copy = av_stream_new_side_data(o, sd.type, sd.size);
            if (copy) memcpy(copy, sd.data, sd.size);
        }
        map[i] = o->index;
    }
    if (out->nb_streams == 0) Fail(destinationPath, "no track of the movie can be copied");
    av_dict_copy(&out->metadata, in->metadata, 0);
    return map;
}

}  // namespace

std::string CopyExtensionFor(const std::string& sourcePath) {
    av::FormatInput input = movie_probe::OpenInput(sourcePath);
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "mov", nullptr) < 0 || !raw) return "mp4";
    av::FormatOutput output(raw);
    // A trial header written to memory says whether the tracks fit.
    bool fits = false;
    try {
        AddCopiedStreams(input.get(), raw, sourcePath);
        if (avio_open_dyn_buf(&raw->pb) >= 0) {
            fits = avformat_write_header(raw, nullptr) >= 0;
            uint8_t* bytes = nullptr;
            avio_close_dyn_buf(raw->pb, &bytes);
            av_free(bytes);
            raw->pb = nullptr;
        }
    } catch (const LException&) {
        fits = false;
    }
    return fits ? "mov" : "mp4";
}

void RemuxMovie(const std::string& sourcePath, const std::string& destinationPath) {
    av::FormatInput input = movie_probe::OpenInput(sourcePath);
    AVFormatContext* in = input.get();

    fs::path destination(destinationPath);
    std::string tempName = "." + destination.filename().string() + ".part-" + std::to_string(::getpid());
    TemporaryFile temp((destination.parent_path() / tempName).string());

    const char* muxer = EndsWithMp4(destinationPath) ? "mp4" : "mov";
    AVFormatContext* rawOut = nullptr;
    int rc = avformat_alloc_output_context2(&rawOut, nullptr, muxer, temp.Path().c_str());
    if (rc < 0 || !rawOut) Fail(destinationPath, av::ErrorText(rc));
    av::FormatOutput output(rawOut);
    AVFormatContext* out = output.get();

    // Tracks the container can carry keep their order; others are left out.
    const std::vector<int> map = AddCopiedStreams(in, out, destinationPath);

    rc = avio_open(&out->pb, temp.Path().c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    rc = avformat_write_header(out, &options);
    av_dict_free(&options);
    if (rc < 0) Fail(destinationPath, av::ErrorText(rc));

    av::Packet packet = av::MakePacket();
    if (!packet) Fail(destinationPath, "out of memory");
    for (;;) {
        rc = av_read_frame(in, packet.get());
        if (rc == AVERROR_EOF) break;
        if (rc < 0) Fail(destinationPath, "the source cannot be read: " + av::ErrorText(rc));
        int target = packet->stream_index < int(map.size()) ? map[packet->stream_index] : -1;
        if (target < 0) {
            av_packet_unref(packet.get());
            continue;
        }
        av_packet_rescale_ts(packet.get(), in->streams[packet->stream_index]->time_base,
                             out->streams[target]->time_base);
        packet->stream_index = target;
        packet->pos = -1;
        rc = av_interleaved_write_frame(out, packet.get());
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
