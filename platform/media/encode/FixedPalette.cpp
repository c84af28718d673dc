#include "platform/media/encode/FixedPalette.h"

namespace {

constexpr int kRed = 6, kGreen = 7, kBlue = 6;  // the eye sees green best

std::array<uint32_t, 256> MakeColors() {
    std::array<uint32_t, 256> colors{};
    int i = 0;
    for (int r = 0; r < kRed; ++r)
        for (int g = 0; g < kGreen; ++g)
            for (int b = 0; b < kBlue; ++b) {
                const uint32_t rr = r * 255 / (kRed - 1), gg = g * 255 / (kGreen - 1), bb = b * 255 / (kBlue - 1);
                colors[i++] = 0xFF000000u | (rr << 16) | (gg << 8) | bb;
            }
    const uint32_t greys[4] = {0x33, 0x66, 0x99, 0xCC};
    for (uint32_t g : greys) colors[i++] = 0xFF000000u | (g << 16) | (g << 8) | g;
    return colors;
}

// Nearest cube level for each 8-bit value, per axis.
struct Levels {
    uint8_t red[256], green[256], blue[256];
    Levels() {
        for (int v = 0; v < 256; ++v) {
            red[v] = uint8_t((v * (kRed - 1) + 127) / 255);
            green[v] = uint8_t((v * (kGreen - 1) + 127) / 255);
            blue[v] = uint8_t((v * (kBlue - 1) + 127) / 255);
        }
    }
};

}  // namespace

namespace FixedPalette {

const std::array<uint32_t, 256>& Colors() {
    static const std::array<uint32_t, 256> colors = MakeColors();
    return colors;
}

uint8_t IndexOf(uint8_t r, uint8_t g, uint8_t b) {
    static const Levels levels;
    return uint8_t((levels.red[r] * kGreen + levels.green[g]) * kBlue + levels.blue[b]);
}

}  // namespace FixedPalette
