// The FFmpeg pixel format an offscreen world's memory is laid out in.
#pragma once

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "platform/media/OffscreenWorld.h"

namespace media::av {

inline AVPixelFormat PixelFormatOf(const OffscreenWorld& world) {
    switch (world.PixelFormat()) {
    case OffscreenWorld::Format::YUV420P: return AV_PIX_FMT_YUV420P;
    case OffscreenWorld::Format::YUV420P10: return AV_PIX_FMT_YUV420P10LE;
    case OffscreenWorld::Format::RGBA32: return AV_PIX_FMT_RGBA;
    case OffscreenWorld::Format::RGB24: break;
    }
    return AV_PIX_FMT_RGB24;
}

}  // namespace media::av
