// What a picture's numbers mean: colour primaries, transfer curve, YUV
// matrix and range, and how many bits a sample has. The codes are those of
// ITU-T H.273, which FFmpeg, MP4 and QuickTime files all use, so they pass
// between the layers without translation.
#pragma once

namespace colour {
// Primaries (and, for matrix, the matrix of the same name).
constexpr int kBt709 = 1;
constexpr int kUnspecified = 2;
constexpr int kBt470bg = 5;    // PAL; its matrix is BT.601 too
constexpr int kSmpte170m = 6;  // NTSC and BT.601
constexpr int kBt2020 = 9;
// Matrix only.
constexpr int kRgb = 0;
// Transfer only.
constexpr int kSrgb = 13;
constexpr int kBt2020Ten = 14;
constexpr int kPq = 16;   // SMPTE ST 2084, HDR10
constexpr int kHlg = 18;  // ARIB STD-B67
}  // namespace colour

struct ColourDescription {
    int primaries = colour::kUnspecified;
    int transfer = colour::kUnspecified;
    int matrix = colour::kUnspecified;
    bool fullRange = false;
    int bitDepth = 8;  // bits a sample

    bool IsHdr() const { return transfer == colour::kPq || transfer == colour::kHlg; }
    bool operator==(const ColourDescription&) const = default;

    // Untagged values filled in as players read them: BT.709 for HD
    // pictures (720 lines or 1280 columns and up), BT.601 below it (with
    // PAL primaries for 576 and 288 lines); a tagged matrix alone implies
    // its own primaries and curve. Limited range unless tagged full.
    ColourDescription WithConventions(int width, int height) const;

    // The plain standard descriptions, 8 bits, limited range.
    static ColourDescription Bt709();
    static ColourDescription Bt601();
};
