// Offscreen world: a frame buffer in memory that frames are drawn into,
// filtered, watermarked and compressed from. Packed 8-bit RGB (RGB24) or
// RGB with alpha (RGBA32), rows top to bottom, `stride` bytes apart.
// Allocate() keeps the storage when the geometry does not change, so one
// world can be reused for every frame of a compression.
#pragma once

#include <cstdint>
#include <vector>

class OffscreenWorld {
public:
    enum class Format { RGB24, RGBA32 };

    OffscreenWorld() = default;
    OffscreenWorld(int width, int height, Format format = Format::RGB24) { Allocate(width, height, format); }

    void Allocate(int width, int height, Format format = Format::RGB24) {
        mWidth = width > 0 ? width : 0;
        mHeight = height > 0 ? height : 0;
        mFormat = format;
        // Rows padded to 64 bytes so that the scaler's SIMD paths stay aligned.
        mStride = ((mWidth * BytesPerPixel() + 63) / 64) * 64;
        mPixels.resize(size_t(mStride) * size_t(mHeight));
    }
    bool IsEmpty() const { return mWidth == 0 || mHeight == 0; }

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Stride() const { return mStride; }
    Format PixelFormat() const { return mFormat; }
    int BytesPerPixel() const { return mFormat == Format::RGB24 ? 3 : 4; }

    uint8_t* Row(int y) { return mPixels.data() + size_t(y) * size_t(mStride); }
    const uint8_t* Row(int y) const { return mPixels.data() + size_t(y) * size_t(mStride); }
    uint8_t* Pixels() { return mPixels.data(); }
    const uint8_t* Pixels() const { return mPixels.data(); }

    void Fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
        for (int y = 0; y < mHeight; ++y) {
            uint8_t* p = Row(y);
            for (int x = 0; x < mWidth; ++x, p += BytesPerPixel()) {
                p[0] = r; p[1] = g; p[2] = b;
                if (mFormat == Format::RGBA32) p[3] = a;
            }
        }
    }

private:
    int mWidth = 0;
    int mHeight = 0;
    int mStride = 0;
    Format mFormat = Format::RGB24;
    std::vector<uint8_t> mPixels;
};
