// One picture of the preview and what puts it on the screen: the frame
// buffer (an RGB24 offscreen world) and its description for drawing (an
// image over the buffer's pixels, no copy). Released in a fixed order:
// the description's use first, then the buffer, then the description.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTransform>
#include <memory>

#include "platform/media/OffscreenWorld.h"

class PreviewFrameSet {
public:
    bool IsEmpty() const { return !mWorld; }
    OffscreenWorld* World() const { return mWorld.get(); }

    // A new black buffer of that size; false for an empty size.
    bool Create(int width, int height);
    void Release();

    // Draws the buffer through a transform (buffer pixels to device
    // pixels), clipped to a device region.
    void Draw(QPainter& painter, const QTransform& transform, const QRegion& deviceClip, bool smooth);

private:
    const QImage& Description();

    std::unique_ptr<OffscreenWorld> mWorld;
    QImage mDescription;
};
