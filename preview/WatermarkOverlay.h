// The watermark as the previews show it over a picture: the document's
// watermark file read once, sized by the zoom (and, with a custom output
// size, by how much the output scales the crop), placed by the document's
// placement flags and drawn over the crop area. A file that cannot be read
// shows where the watermark would go: a yellow box with both diagonals.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <memory>

#include "platform/media/image/ImageFileReader.h"

class CTambleDocModel;
class StDrawingContext;

class WatermarkOverlay {
public:
    WatermarkOverlay();
    ~WatermarkOverlay();

    // Forgets the file read (the document's watermark or size changed).
    void Discard();
    // The reader of the file last drawn; null before the first drawing.
    const ImageFileReader* Reader() const { return mReader.get(); }

    // Draws over cropArea (view coordinates, the crop as shown at zoom)
    // inside clip. crop is the crop size in picture pixels.
    void Draw(StDrawingContext& context, const CTambleDocModel& model, const QRect& cropArea,
              const QRegion& clip, double zoom, const QSize& crop);

private:
    std::unique_ptr<ImageFileReader> mReader;
    QImage mImage;  // the reader's picture, straight alpha
};
