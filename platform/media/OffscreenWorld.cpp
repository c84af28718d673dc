#include "platform/media/OffscreenWorld.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void RgbToYuv(const ColourDescription& colour, uint8_t r, uint8_t g, uint8_t b, uint8_t yuv[3]) {
    double kr = 0.299, kb = 0.114;
    if (colour.matrix == colour::kBt709) kr = 0.2126, kb = 0.0722;
    if (colour.matrix == colour::kBt2020) kr = 0.2627, kb = 0.0593;
    const double luma = kr * r + (1 - kr - kb) * g + kb * b;  // 0..255
    const double lumaScale = colour.fullRange ? 1.0 : 219.0 / 255.0;
    const double chromaScale = colour.fullRange ? 1.0 : 224.0 / 255.0;
    auto clamp8 = [](double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); };
    yuv[0] = clamp8((colour.fullRange ? 0 : 16) + luma * lumaScale);
    yuv[1] = clamp8(128 + (b - luma) / (2 * (1 - kb)) * chromaScale);
    yuv[2] = clamp8(128 + (r - luma) / (2 * (1 - kr)) * chromaScale);
}

void OffscreenWorld::FillPlanar(uint8_t r, uint8_t g, uint8_t b) {
    uint8_t yuv[3];
    ToYuv(r, g, b, yuv);
    for (int p = 0; p < 3; ++p)
        for (int y = 0; y < PlaneHeight(p); ++y) {
            uint8_t* row = Plane(p) + size_t(y) * PlaneStride(p);
            if (SampleBytes() == 1) {
                std::memset(row, yuv[p], PlaneWidth(p));
                continue;
            }
            const uint16_t deep = uint16_t(yuv[p] << 2);  // 8 bits placed in 10
            for (int x = 0; x < PlaneWidth(p); ++x) std::memcpy(row + 2 * x, &deep, 2);
        }
}
