// The 256-colour palette used for 8-bit codecs ('smc '): a 6 x 7 x 6 colour
// cube plus four greys, and a fast nearest-entry lookup.
#pragma once

#include <array>
#include <cstdint>

namespace FixedPalette {

// 256 entries of 0xAARRGGBB (alpha 0xFF), as FFmpeg's palettes are laid out.
const std::array<uint32_t, 256>& Colors();
// Index of the palette entry for an RGB colour.
uint8_t IndexOf(uint8_t r, uint8_t g, uint8_t b);

}  // namespace FixedPalette
