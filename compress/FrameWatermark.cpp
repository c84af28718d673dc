#include "compress/FrameWatermark.h"

#include "model/WatermarkPlacement.h"
#include "platform/media/image/ImageFileReader.h"

FrameWatermark::FrameWatermark() = default;
FrameWatermark::~FrameWatermark() = default;

std::string FrameWatermark::Prepare(const FSSpec& file, int32_t placement, OffscreenWorld& frameBuffer) {
    Clear();
    if (!file.IsSet()) return "";
    mPicture = std::make_unique<ImageFileReader>(file);
    if (!mPicture->HasImporter()) {
        mPicture.reset();
        return "The watermark \"" + file.FileName(true) + "\" cannot be read, so it is left out.";
    }
    const Rect frame = MakeRect(0, 0, frameBuffer.Width(), frameBuffer.Height());
    mPicture->SetDestRect(PlaceRectInFrame(mPicture->NaturalBounds(), frame, placement));
    mPicture->SetGraphicsMode(kGraphicsModePreWhiteAlpha);
    if (!frameBuffer.IsPlanar()) {
        mPicture->SetDrawingWorld(&frameBuffer);
        return "";
    }
    // The same picture every frame: drawn once over nothing, then blended in YUV.
    OffscreenWorld picture(frameBuffer.Width(), frameBuffer.Height(), OffscreenWorld::Format::RGBA32);
    picture.Fill(0, 0, 0, 0);
    mPicture->SetDrawingWorld(&picture);
    mPicture->Draw();
    mPlanar.Prepare(picture, frameBuffer.Colour());
    mPicture.reset();
    return "";
}

void FrameWatermark::DrawOver(OffscreenWorld& frameBuffer) {
    if (mPicture) mPicture->Draw();
    else mPlanar.BlendInto(frameBuffer);
}

void FrameWatermark::Clear() {
    mPicture.reset();
    mPlanar = PlanarOverlay();
}
