#include "preview/PreviewFrameSet.h"

bool PreviewFrameSet::Create(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    mWorld = std::make_unique<OffscreenWorld>(width, height, OffscreenWorld::Format::RGB24);
    mWorld->Fill(0, 0, 0);
    return true;
}

void PreviewFrameSet::Release() {
    mWorld.reset();
    mDescription = QImage();
}

const QImage& PreviewFrameSet::Description() {
    // The buffer may have been reallocated by whoever drew into it.
    if (mDescription.isNull() || mDescription.constBits() != mWorld->Pixels() ||
        mDescription.width() != mWorld->Width() || mDescription.height() != mWorld->Height())
        mDescription = QImage(mWorld->Pixels(), mWorld->Width(), mWorld->Height(), mWorld->Stride(),
                              QImage::Format_RGB888);
    return mDescription;
}

void PreviewFrameSet::Draw(QPainter& painter, const QTransform& transform, const QRegion& deviceClip, bool smooth) {
    if (IsEmpty() || mWorld->IsEmpty() || deviceClip.isEmpty()) return;
    painter.save();
    painter.setClipRegion(deviceClip, Qt::IntersectClip);
    painter.setTransform(transform, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(0, 0), Description());
    painter.restore();
}
