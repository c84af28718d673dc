// Offscreen world: a frame buffer in memory that frames are drawn into,
// filtered, watermarked and compressed from. Packed 8-bit RGB (RGB24), RGB
// with alpha (RGBA32), or planar 4:2:0 YUV of 8 or 10 bits (YUV420P,
// YUV420P10 with 16-bit little-endian samples: the compression job's fast
// path when nothing needs RGB pixels). Rows run top to bottom, `stride`
// bytes apart; Row() and Stride() are the first plane's.
// Allocate() keeps the storage when the geometry does not change, so one
// world can be reused for every frame of a compression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/media/ColourDescription.h"

// One RGB colour in YUV with the given matrix and range, in 8 bits.
void RgbToYuv(const ColourDescription& colour, uint8_t r, uint8_t g, uint8_t b, uint8_t yuv[3]);

class OffscreenWorld {
public:
    enum class Format { RGB24, RGBA32, YUV420P, YUV420P10 };

    OffscreenWorld() = default;
    OffscreenWorld(int width, int height, Format format = Format::RGB24) { Allocate(width, height, format); }

    void Allocate(int width, int height, Format format = Format::RGB24) {
        mWidth = width > 0 ? width : 0;
        mHeight = height > 0 ? height : 0;
        mFormat = format;
        // Rows padded to 64 bytes so that the scaler's SIMD paths stay aligned.
        mStride = Padded(mWidth * BytesPerPixel());
        size_t size = size_t(mStride) * size_t(mHeight);
        if (IsPlanar()) {
            mChromaStride = Padded(ChromaWidth() * SampleBytes());
            mChromaOffset = size;
            size += 2 * size_t(mChromaStride) * size_t(ChromaHeight());
        } else {
            mChromaStride = 0;
            mChromaOffset = 0;
        }
        mPixels.resize(size);
    }
    bool IsEmpty() const { return mWidth == 0 || mHeight == 0; }

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Stride() const { return mStride; }
    Format PixelFormat() const { return mFormat; }
    bool IsPlanar() const { return mFormat == Format::YUV420P || mFormat == Format::YUV420P10; }
    // Bytes per pixel of the first plane.
    int BytesPerPixel() const { return mFormat == Format::RGB24 ? 3 : mFormat == Format::RGBA32 ? 4 : SampleBytes(); }
    // Bytes of one sample of a plane: 2 for 10-bit YUV, else 1.
    int SampleBytes() const { return mFormat == Format::YUV420P10 ? 2 : 1; }

    uint8_t* Row(int y) { return mPixels.data() + size_t(y) * size_t(mStride); }
    const uint8_t* Row(int y) const { return mPixels.data() + size_t(y) * size_t(mStride); }
    uint8_t* Pixels() { return mPixels.data(); }
    const uint8_t* Pixels() const { return mPixels.data(); }

    // Planes: 0 for packed formats; 0 (Y), 1 (U), 2 (V) for YUV420P.
    int PlaneCount() const { return IsPlanar() ? 3 : 1; }
    int PlaneWidth(int plane) const { return plane == 0 ? mWidth : ChromaWidth(); }
    int PlaneHeight(int plane) const { return plane == 0 ? mHeight : ChromaHeight(); }
    int PlaneStride(int plane) const { return plane == 0 ? mStride : mChromaStride; }
    uint8_t* Plane(int plane) { return mPixels.data() + PlaneOffset(plane); }
    const uint8_t* Plane(int plane) const { return mPixels.data() + PlaneOffset(plane); }

    // What a YUV world's numbers mean (an RGB world's say what the encoder
    // makes of them). BT.601 in the limited range until set.
    const ColourDescription& Colour() const { return mColour; }
    void SetColour(const ColourDescription& colour) { mColour = colour; }

    void Fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        if (IsPlanar()) {
            FillPlanar(r, g, b);
            return;
        }
        for (int y = 0; y < mHeight; ++y) {
            uint8_t* p = Row(y);
            for (int x = 0; x < mWidth; ++x, p += BytesPerPixel()) {
                p[0] = r; p[1] = g; p[2] = b;
                if (mFormat == Format::RGBA32) p[3] = a;
            }
        }
    }

    // One RGB colour in this world's YUV terms, in 8 bits.
    void ToYuv(uint8_t r, uint8_t g, uint8_t b, uint8_t yuv[3]) const { RgbToYuv(mColour, r, g, b, yuv); }

private:
    static int Padded(int bytes) { return ((bytes + 63) / 64) * 64; }
    int ChromaWidth() const { return (mWidth + 1) / 2; }
    int ChromaHeight() const { return (mHeight + 1) / 2; }
    size_t PlaneOffset(int plane) const {
        if (plane == 0) return 0;
        return mChromaOffset + size_t(plane - 1) * size_t(mChromaStride) * size_t(ChromaHeight());
    }
    void FillPlanar(uint8_t r, uint8_t g, uint8_t b);

    int mWidth = 0;
    int mHeight = 0;
    int mStride = 0;
    int mChromaStride = 0;
    size_t mChromaOffset = 0;
    Format mFormat = Format::RGB24;
    ColourDescription mColour = ColourDescription::Bt601();
    std::vector<uint8_t> mPixels;
};
