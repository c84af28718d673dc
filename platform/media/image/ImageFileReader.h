// Reads one image file (PNG, JPEG, BMP, GIF, TIFF and the other still
// formats FFmpeg decodes) and draws it into a rectangle of an offscreen
// world. The picture is decoded once, at construction, into RGBA; it is
// scaled once per destination size. A file that cannot be read gives a
// reader without an importer: empty natural bounds, and drawing shows a
// placeholder (a yellow frame with both diagonals).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/media/FSSpec.h"
#include "platform/media/OffscreenWorld.h"
#include "platform/media/Rect.h"
#include "platform/media/image/ImageDecoding.h"

// Graphics modes the reader tells apart; every other mode copies.
constexpr int32_t kGraphicsModeCopy = 0;
constexpr int32_t kGraphicsModeStraightAlpha = 0x100;
constexpr int32_t kGraphicsModePreWhiteAlpha = 0x101;
constexpr int32_t kGraphicsModePreBlackAlpha = 0x102;

struct RGBColor {
    uint8_t red = 0, green = 0, blue = 0;
};

class ImageFileReader {
public:
    // Opens the file; an empty name, too little free memory or a file that
    // does not decode as a picture leave the reader without an importer.
    explicit ImageFileReader(const FSSpec& file, int32_t importMode = 0);
    ~ImageFileReader();
    ImageFileReader(const ImageFileReader&) = delete;
    ImageFileReader& operator=(const ImageFileReader&) = delete;

    bool HasImporter() const { return mHasImporter; }
    // Why opening failed (for messages and logs); empty when it opened.
    const std::string& OpenError() const { return mOpenError; }

    int32_t ImportMode() const { return mImportMode; }
    const FSSpec& File() const { return mFile; }

    // (0, 0, height, width) of the picture; empty without an importer.
    Rect NaturalBounds() const { return mNaturalBounds; }

    void SetDrawingWorld(OffscreenWorld* world) { mWorld = world; }
    // Drawing is limited to the clip rectangle when one is set.
    void SetClipRect(std::optional<Rect> clip) { mClip = clip; }
    void SetDestRect(const Rect& dest) { mDestRect = dest; }
    Rect DestRect() const { return mDestRect; }
    void SetGraphicsMode(int32_t mode, RGBColor opColor = {});
    int32_t GraphicsMode() const { return mGraphicsMode; }

    // Draws into the drawing world's destination rectangle: the picture when
    // there is one, otherwise the placeholder. Without a world, nothing.
    void Draw();

    // The decoded picture (RGBA, straight alpha); empty without an importer.
    const OffscreenWorld& Picture() const { return mPicture; }

private:
    void Open(const FSSpec& file);
    void DrawPicture(OffscreenWorld& world, const Rect& area);
    void DrawPlaceholder(OffscreenWorld& world, const Rect& area);
    const OffscreenWorld& ScaledPicture(int width, int height);
    Rect VisibleArea(const OffscreenWorld& world) const;

    int32_t mImportMode = 1;
    FSSpec mFile;
    Rect mNaturalBounds;
    Rect mDestRect;
    std::optional<Rect> mClip;
    OffscreenWorld* mWorld = nullptr;
    int32_t mGraphicsMode = kGraphicsModeCopy;
    RGBColor mOpColor;
    bool mHasImporter = false;
    std::string mOpenError;

    OffscreenWorld mPicture;  // RGBA at natural size
    OffscreenWorld mScaled;   // RGBA at the last destination size
};
