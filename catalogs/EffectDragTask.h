// One drag of a preset file out of a catalog: the item carries the file's
// 272-byte record (10-byte prefix of zeros, then the file reference) under
// the preset's flavour, with the preset's picture as the drag image. The
// codec lists use it too, with their own flavours and pictures.
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QPoint>
#include <QRect>
#include <memory>

#include "framework/FourCharCode.h"
#include "platform/media/FSSpec.h"

class QWidget;

class EffectDragTask {
public:
    // The mouse point and the cell are in the source widget's coordinates.
    EffectDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file, OSType flavor,
                   int16_t pictureID);

    // The record the drag carries; empty when the file has no name.
    QByteArray MakeRecord() const;
    // Performs the drag; the answer of the drop target.
    Qt::DropAction Run();

private:
    QWidget* mSource;
    QPoint mMouse;
    QRect mCell;
    FSSpec mFile;
    OSType mFlavor;
    int16_t mPictureID;
};
