#include "platform/media/encode/StillImageCompressor.h"

#include <cstring>

#include "framework/LException.h"
#include "platform/media/AVHandles.h"
#include "platform/media/encode/FixedPalette.h"
#include "platform/media/encode/VideoEncoder.h"

bool CompressImageOnce(const OffscreenWorld& picture, OSType codecType, int32_t spatialQuality, CompressedImage& out) {
    if (picture.IsEmpty()) return false;
    try {
        VideoSettings settings;
        settings.codecType = codecType;
        settings.spatialQuality = spatialQuality;
        VideoEncoder encoder;
        encoder.Open(settings, picture.Width(), picture.Height(), {1, 600}, 30);
        std::vector<EncodedPacket> packets;
        encoder.Encode(picture, 0, 20, packets);
        encoder.Flush(packets);
        if (packets.empty()) return false;
        CompressedImage image;
        image.codecType = codecType;
        image.width = encoder.Width();
        image.height = encoder.Height();
        for (const auto& p : packets) image.data.insert(image.data.end(), p.data.begin(), p.data.end());
        image.parameters = encoder.Parameters();
        out = std::move(image);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CompressPreviewImage(const Handle& videoSettings, const OffscreenWorld& picture, CompressedImage& out) {
    VideoSettings settings;
    try {
        settings = VideoSettings::FromHandle(videoSettings);
    } catch (const LException&) {
        settings = VideoSettings{};
    }
    return CompressImageOnce(picture, settings.codecType, settings.spatialQuality, out);
}

bool DecompressImage(const CompressedImage& image, OffscreenWorld& out) {
    const AVCodecParameters* parameters = image.parameters.CodecParameters();
    if (!parameters || image.data.empty() || image.data.size() > INT32_MAX / 2) return false;
    const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
    if (!decoder) return false;
    media::av::CodecContext ctx(avcodec_alloc_context3(decoder));
    media::av::Packet packet = media::av::MakePacket();
    media::av::Frame frame = media::av::MakeFrame();
    if (!ctx || !packet || !frame) return false;
    if (avcodec_parameters_to_context(ctx.get(), parameters) < 0) return false;
    ctx->thread_count = 1;
    if (avcodec_open2(ctx.get(), decoder, nullptr) < 0) return false;
    if (av_new_packet(packet.get(), int(image.data.size())) < 0) return false;
    std::memcpy(packet->data, image.data.data(), image.data.size());
    packet->flags = AV_PKT_FLAG_KEY;
    if (parameters->format == AV_PIX_FMT_PAL8) {
        uint8_t* side = av_packet_new_side_data(packet.get(), AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
        if (!side) return false;
        std::memcpy(side, FixedPalette::Colors().data(), AVPALETTE_SIZE);
    }
    if (avcodec_send_packet(ctx.get(), packet.get()) < 0) return false;
    avcodec_send_packet(ctx.get(), nullptr);
    if (avcodec_receive_frame(ctx.get(), frame.get()) < 0) return false;
    if (frame->width <= 0 || frame->height <= 0 || frame->width > 16384 || frame->height > 16384) return false;
    media::av::SwsContext sws(sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                             frame->height, AV_PIX_FMT_RGB24, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr,
                                             nullptr, nullptr));
    if (!sws) return false;
    out.Allocate(frame->width, frame->height, OffscreenWorld::Format::RGB24);
    uint8_t* dst[1] = {out.Pixels()};
    const int dstStride[1] = {out.Stride()};
    sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    return true;
}
