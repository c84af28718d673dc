#include "platform/media/image/ImageDecoding.h"

#include <filesystem>
#include <system_error>

#include "platform/media/AVHandles.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/pixdesc.h>
}

namespace av = media::av;

namespace {

// Only still-image demuxers: a file that another demuxer would claim (a
// playlist, a movie, a text file) is not a picture here.
const std::string& ImageDemuxers() {
    static const std::string list = [] {
        std::string names = "image2,gif,apng";
        void* it = nullptr;
        while (const AVInputFormat* f = av_demuxer_iterate(&it)) {
            const std::string name = f->name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, "_pipe") == 0) names += "," + name;
        }
        return names;
    }();
    return list;
}

bool Refuse(std::string& error, std::string why) {
    error = std::move(why);
    return false;
}

bool SizeAcceptable(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           int64_t(width) * height <= kMaxImagePixels;
}

// JPEG decoders report full-range YUV as the old "J" formats; the scaler
// wants the plain format and the range said separately.
AVPixelFormat PlainFormat(AVPixelFormat format, bool& fullRange) {
    fullRange = true;
    switch (format) {
    case AV_PIX_FMT_YUVJ420P: return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: return AV_PIX_FMT_YUV411P;
    default: fullRange = false; return format;
    }
}

bool ConvertToRGBA(const AVFrame* frame, OffscreenWorld& rgba, std::string& error) {
    bool fullRange = false;
    const AVPixelFormat source = PlainFormat(AVPixelFormat(frame->format), fullRange);
    if (frame->color_range == AVCOL_RANGE_JPEG) fullRange = true;
    av::SwsContext sws(sws_getContext(frame->width, frame->height, source, frame->width, frame->height,
                                      AV_PIX_FMT_RGBA, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                      nullptr, nullptr, nullptr));
    if (!sws) return Refuse(error, "picture format cannot be converted");
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(source);
    if (desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB)) {
        int* inv = nullptr;
        int* table = nullptr;
        int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
        if (sws_getColorspaceDetails(sws.get(), &inv, &srcRange, &table, &dstRange, &brightness, &contrast,
                                     &saturation) >= 0)
            sws_setColorspaceDetails(sws.get(), inv, fullRange ? 1 : 0, table, 1, brightness, contrast, saturation);
    }
    rgba.Allocate(frame->width, frame->height, OffscreenWorld::Format::RGBA32);
    uint8_t* dst[4] = {rgba.Pixels(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {rgba.Stride(), 0, 0, 0};
    if (sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride) != frame->height)
        return Refuse(error, "picture could not be converted");
    return true;
}

}  // namespace

bool DecodeImageFile(const std::string& path, OffscreenWorld& rgba, std::string& error) {
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    if (ec) return Refuse(error, "file cannot be read");
    if (bytes == 0) return Refuse(error, "file is empty");
    if (int64_t(bytes) > kMaxImageFileBytes) return Refuse(error, "file is too large for a picture");

    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", ImageDemuxers().c_str(), 0);
    av_dict_set(&options, "pattern_type", "none", 0);  // a "%" in a name is just a character
    AVFormatContext* raw = nullptr;
    const std::string url = "file:" + path;
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0) return Refuse(error, "not a picture file");
    av::FormatInput input(raw);

    int streamIndex = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i)
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            streamIndex = int(i);
            break;
        }
    if (streamIndex < 0) return Refuse(error, "no picture in the file");
    const AVCodecParameters* par = input->streams[streamIndex]->codecpar;
    // Containers that know the size say so before anything is decoded.
    if ((par->width || par->height) && !SizeAcceptable(par->width, par->height))
        return Refuse(error, "picture is too large");

    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return Refuse(error, "picture format is not supported");
    av::CodecContext decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), par) < 0)
        return Refuse(error, "picture decoder cannot be set up");
    decoder->thread_count = 0;
    decoder->thread_type = FF_THREAD_SLICE;  // one picture: frame threads only add latency
    decoder->max_pixels = kMaxImagePixels;   // the decoder refuses larger pictures before allocating
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return Refuse(error, "picture decoder cannot be opened");

    av::Packet packet = av::MakePacket();
    av::Frame frame = av::MakeFrame();
    if (!packet || !frame) return Refuse(error, "out of memory");
    bool flushing = false;
    for (int reads = 0; reads < 4096; ++reads) {
        if (!flushing) {
            const int ret = av_read_frame(input.get(), packet.get());
            if (ret < 0) {
                flushing = true;
                avcodec_send_packet(decoder.get(), nullptr);
            } else {
                const bool ours = packet->stream_index == streamIndex;
                const int sent = ours ? avcodec_send_packet(decoder.get(), packet.get()) : 0;
                av_packet_unref(packet.get());
                if (sent < 0 && sent != AVERROR(EAGAIN)) return Refuse(error, "picture data is damaged");
                if (!ours) continue;
            }
        }
        const int got = avcodec_receive_frame(decoder.get(), frame.get());
        if (got == 0) {
            if (!SizeAcceptable(frame->width, frame->height)) return Refuse(error, "picture is too large");
            return ConvertToRGBA(frame.get(), rgba, error);
        }
        if (got == AVERROR_EOF || (flushing && got != AVERROR(EAGAIN))) break;
        if (got != AVERROR(EAGAIN)) return Refuse(error, "picture data is damaged");
        if (flushing) break;
    }
    return Refuse(error, "no picture could be decoded");
}

bool ScaleImage(const OffscreenWorld& rgba, int width, int height, OffscreenWorld& scaled) {
    if (rgba.IsEmpty() || width <= 0 || height <= 0 || rgba.PixelFormat() != OffscreenWorld::Format::RGBA32)
        return false;
    const bool shrinking = width < rgba.Width() || height < rgba.Height();
    av::SwsContext sws(sws_getContext(rgba.Width(), rgba.Height(), AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_RGBA,
                                      (shrinking ? SWS_AREA : SWS_BICUBIC) | SWS_ACCURATE_RND, nullptr, nullptr,
                                      nullptr));
    if (!sws) return false;
    scaled.Allocate(width, height, OffscreenWorld::Format::RGBA32);
    const uint8_t* src[4] = {rgba.Pixels(), nullptr, nullptr, nullptr};
    const int srcStride[4] = {rgba.Stride(), 0, 0, 0};
    uint8_t* dst[4] = {scaled.Pixels(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {scaled.Stride(), 0, 0, 0};
    return sws_scale(sws.get(), src, srcStride, 0, rgba.Height(), dst, dstStride) == height;
}
