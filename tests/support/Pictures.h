// Pictures and pixel statistics for the tests of effects, images and previews.
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/media/OffscreenWorld.h"
#include "support/TestSupport.h"

namespace pictures {

// A one-frame PNG of a solid colour (with alpha for one like "blue@0.5"), made once per build.
inline std::filesystem::path Picture(int width, int height, const std::string& colour = "red") {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string alpha = colour.find('@') == std::string::npos ? "" : ",format=rgba";
    return testsupport::FixtureMovie("picture_" + colour + "_" + size + ".png",
                                     "-f lavfi -i color=" + colour + ":s=" + size + alpha + " -frames:v 1");
}

// A file with an image extension whose bytes are not a picture, in the test's scratch folder.
inline std::filesystem::path BrokenPicture(const std::string& name = "broken.png") {
    const auto path = testsupport::ScratchDir() / name;
    testsupport::WriteBytes(path, "\x89PNG\r\n\x1a\nthis is not a picture at all");
    return path;
}

struct Pixel {
    int r, g, b;
};

inline Pixel At(const OffscreenWorld& w, int x, int y) {
    const uint8_t* p = w.Row(y) + x * w.BytesPerPixel();
    return {p[0], p[1], p[2]};
}

inline int AlphaAt(const OffscreenWorld& w, int x, int y) { return w.Row(y)[x * 4 + 3]; }

// Smooth diagonal gradients with a fine checker on top: plenty of detail
// for blurs and edges, no flat areas.
inline OffscreenWorld Pattern(int width, int height, OffscreenWorld::Format format = OffscreenWorld::Format::RGB24) {
    OffscreenWorld w(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = w.Row(y) + x * w.BytesPerPixel();
            const int checker = ((x / 2 + y / 2) % 2) ? 40 : -40;
            p[0] = uint8_t(std::clamp(60 + x * 120 / width + checker, 0, 255));
            p[1] = uint8_t(std::clamp(80 + y * 100 / height + checker, 0, 255));
            p[2] = uint8_t(std::clamp(150 - x * 60 / width + checker, 0, 255));
            if (format == OffscreenWorld::Format::RGBA32) p[3] = uint8_t((x * 7 + y * 3) & 0xFF);
        }
    return w;
}

inline double Mean(const OffscreenWorld& w, int channel) {
    double sum = 0;
    for (int y = 0; y < w.Height(); ++y)
        for (int x = 0; x < w.Width(); ++x) sum += w.Row(y)[x * w.BytesPerPixel() + channel];
    return sum / (double(w.Width()) * w.Height());
}

inline double Variance(const OffscreenWorld& w, int channel) {
    const double mean = Mean(w, channel);
    double sum = 0;
    for (int y = 0; y < w.Height(); ++y)
        for (int x = 0; x < w.Width(); ++x) {
            const double d = w.Row(y)[x * w.BytesPerPixel() + channel] - mean;
            sum += d * d;
        }
    return sum / (double(w.Width()) * w.Height());
}

inline bool SamePixels(const OffscreenWorld& a, const OffscreenWorld& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.Width() * a.BytesPerPixel(), b.Row(y))) return false;
    return true;
}

}  // namespace pictures
