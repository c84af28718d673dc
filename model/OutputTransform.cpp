#include "model/OutputTransform.h"

#include "model/CTambleDocModel.h"
#include "model/SCompressSettings.h"

OutputGeometry OutputGeometry::Of(const CTambleDocModel& model) {
    OutputGeometry g;
    g.flipHorizontal = model.GetFlipHorizontal();
    g.flipVertical = model.GetFlipVertical();
    g.rotation = model.GetRotation();
    g.crop = Rect{int16_t(model.GetCropTop()), int16_t(model.GetCropLeft()), int16_t(model.GetCropBottom()),
                  int16_t(model.GetCropRight())};
    g.outputWidth = model.GetOutputWidth();
    g.outputHeight = model.GetOutputHeight();
    return g;
}

OutputGeometry OutputGeometry::Of(const SCompressSettings& s) {
    return OutputGeometry{s.flipHorizontal, s.flipVertical, s.rotation, s.crop, s.outputWidth, s.outputHeight};
}

OutputTransform::OutputTransform(const OutputGeometry& g, double w, double h) {
    if (g.flipHorizontal) mOrientation.FlipHorizontal(w);
    if (g.flipVertical) mOrientation.FlipVertical(h);
    const int rotation = ((g.rotation % 360) + 360) % 360;
    if (rotation != 0) {
        mOrientation.Rotate(rotation);
        if (rotation == 90) mOrientation.Translate(h, 0);
        else if (rotation == 180) mOrientation.Translate(w, h);
        else if (rotation == 270) mOrientation.Translate(0, w);
    }
    const bool turned = rotation == 90 || rotation == 270;
    Rect crop = g.crop;
    if (crop.IsEmpty()) crop = MakeRect(0, 0, int(turned ? h : w), int(turned ? w : h));
    mToFrame = mOrientation;
    mToFrame.Translate(-crop.left, -crop.top);
    mFrameWidth = crop.Width();
    mFrameHeight = crop.Height();
    if (g.outputWidth > 0 && g.outputHeight > 0) {
        mToFrame.Concat(MovieMatrix::RectMatrix(MovieRect::OfSize(mFrameWidth, mFrameHeight),
                                                MovieRect::OfSize(g.outputWidth, g.outputHeight)));
        mFrameWidth = g.outputWidth;
        mFrameHeight = g.outputHeight;
    }
}
