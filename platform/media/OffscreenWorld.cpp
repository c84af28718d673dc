#include "platform/media/OffscreenWorld.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void RgbToYuv(ColorMatrix matrix, uint8_t r, uint8_t g, uint8_t b, uint8_t yuv[3]) {
    const double kr = matrix == ColorMatrix::BT709 ? 0.2126 : 0.299;
    const double kb = matrix == ColorMatrix::BT709 ? 0.0722 : 0.114;
    const double luma = kr * r + (1 - kr - kb) * g + kb * b;  // 0..255
    auto clamp8 = [](double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
    yuv[0] = clamp8(16 + luma * 219.0 / 255.0);
    yuv[1] = clamp8(128 + (b - luma) / (2 * (1 - kb)) * 224.0 / 255.0);
    yuv[2] = clamp8(128 + (r - luma) / (2 * (1 - kr)) * 224.0 / 255.0);
}

void OffscreenWorld::FillPlanar(uint8_t r, uint8_t g, uint8_t b) {
    uint8_t yuv[3];
    ToYuv(r, g, b, yuv);
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < PlaneHeight(p); ++y) std::memset(Plane(p) + size_t(y) * PlaneStride(p), yuv[p], PlaneWidth(p));
}
