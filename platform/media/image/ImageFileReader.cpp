#include "platform/media/image/ImageFileReader.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int64_t kMinimumFreeMemory = 204800;
constexpr int kPenSize = 4;
constexpr RGBColor kPlaceholderColor{255, 255, 0};  // colour 69, yellow

int64_t FreeMemory() {
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages < 0 || pageSize < 0) return INT64_MAX;  // unknown: do not refuse
    return int64_t(pages) * pageSize;
}

bool IsAlphaMode(int32_t mode) {
    return mode == kGraphicsModeStraightAlpha || mode == kGraphicsModePreWhiteAlpha ||
           mode == kGraphicsModePreBlackAlpha || mode == 0x103;
}

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
    if (r.IsEmpty()) return Rect{};
    return r;
}

void PutPixel(OffscreenWorld& world, int x, int y, RGBColor c) {
    uint8_t* p = world.Row(y) + size_t(x) * size_t(world.BytesPerPixel());
    p[0] = c.red;
    p[1] = c.green;
    p[2] = c.blue;
    if (world.PixelFormat() == OffscreenWorld::Format::RGBA32) p[3] = 255;
}

// A pen-sized square with its top-left corner at (x, y), inside `area`.
void PaintPen(OffscreenWorld& world, const Rect& area, int x, int y, RGBColor c) {
    const int x0 = std::max(x, int(area.left)), x1 = std::min(x + kPenSize, int(area.right));
    const int y0 = std::max(y, int(area.top)), y1 = std::min(y + kPenSize, int(area.bottom));
    for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx) PutPixel(world, xx, yy, c);
}

// The pen's top-left corner moves from (x0, y0) to (x1, y1).
void PaintLine(OffscreenWorld& world, const Rect& area, int x0, int y0, int x1, int y1, RGBColor c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        PaintPen(world, area, x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace

ImageFileReader::ImageFileReader(const FSSpec& file, int32_t importMode) : mImportMode(importMode == 0 ? 1 : importMode) {
    Open(file);
}

ImageFileReader::~ImageFileReader() = default;

void ImageFileReader::Open(const FSSpec& file) {
    if (!file.IsSet()) {
        mOpenError = "no file";
        return;
    }
    if (FreeMemory() < kMinimumFreeMemory) {
        mOpenError = "not enough free memory";
        return;
    }
    if (!DecodeImageFile(file.Path(), mPicture, mOpenError)) {
        mPicture = OffscreenWorld();
        return;
    }
    mOpenError.clear();
    mFile = file;
    mHasImporter = true;
    mNaturalBounds = MakeRect(0, 0, mPicture.Width(), mPicture.Height());
}

void ImageFileReader::SetGraphicsMode(int32_t mode, RGBColor opColor) {
    mGraphicsMode = mode;
    mOpColor = opColor;
}

Rect ImageFileReader::VisibleArea(const OffscreenWorld& world) const {
    Rect area = Intersect(mDestRect, MakeRect(0, 0, std::min(world.Width(), 32767), std::min(world.Height(), 32767)));
    if (mClip) area = Intersect(area, *mClip);
    return area;
}

void ImageFileReader::Draw() {
    if (!mWorld || mWorld->IsEmpty()) return;
    const Rect area = VisibleArea(*mWorld);
    if (area.IsEmpty()) return;
    if (mHasImporter)
        DrawPicture(*mWorld, area);
    else
        DrawPlaceholder(*mWorld, area);
}

const OffscreenWorld& ImageFileReader::ScaledPicture(int width, int height) {
    if (width == mPicture.Width() && height == mPicture.Height()) return mPicture;
    if (mScaled.Width() != width || mScaled.Height() != height) {
        if (!ScaleImage(mPicture, width, height, mScaled)) mScaled = OffscreenWorld();
    }
    return mScaled;
}

void ImageFileReader::DrawPicture(OffscreenWorld& world, const Rect& area) {
    // The picture is scaled whole, so a destination beyond what the reader
    // would decode is not drawn at all.
    if (int64_t(mDestRect.Width()) * mDestRect.Height() > kMaxImagePixels) return;
    const OffscreenWorld& picture = ScaledPicture(mDestRect.Width(), mDestRect.Height());
    if (picture.IsEmpty()) return;
    const bool blend = IsAlphaMode(mGraphicsMode);
    const bool worldHasAlpha = world.PixelFormat() == OffscreenWorld::Format::RGBA32;
    const int bpp = world.BytesPerPixel();
    for (int y = area.top; y < area.bottom; ++y) {
        const uint8_t* s = picture.Row(y - mDestRect.top) + size_t(area.left - mDestRect.left) * 4;
        uint8_t* d = world.Row(y) + size_t(area.left) * size_t(bpp);
        for (int x = area.left; x < area.right; ++x, s += 4, d += bpp) {
            const unsigned a = s[3];
            if (!blend || a == 255) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                if (worldHasAlpha) d[3] = blend ? 255 : s[3];
                continue;
            }
            if (a == 0) continue;
            const unsigned rest = 255 - a;
            d[0] = uint8_t((s[0] * a + d[0] * rest + 127) / 255);
            d[1] = uint8_t((s[1] * a + d[1] * rest + 127) / 255);
            d[2] = uint8_t((s[2] * a + d[2] * rest + 127) / 255);
            if (worldHasAlpha) d[3] = uint8_t(a + (d[3] * rest + 127) / 255);
        }
    }
}

void ImageFileReader::DrawPlaceholder(OffscreenWorld& world, const Rect& area) {
    // A 4 x 4 pen: the frame lies inside the destination rectangle, and the
    // diagonals run corner to corner with the pen kept inside it too.
    const Rect& r = mDestRect;
    const RGBColor c = kPlaceholderColor;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const bool edge = y < r.top + kPenSize || y >= r.bottom - kPenSize || x < r.left + kPenSize ||
                              x >= r.right - kPenSize;
            if (edge) PutPixel(world, x, y, c);
        }
    const int right = std::max(int(r.left), r.right - kPenSize);
    const int bottom = std::max(int(r.top), r.bottom - kPenSize);
    PaintLine(world, area, r.left, r.top, right, bottom, c);
    PaintLine(world, area, right, r.top, r.left, bottom, c);
}
