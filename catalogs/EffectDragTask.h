// One drag of a preset file out of a catalog: the item carries the file's
// 272-byte record (10-byte prefix of zeros, then the file reference) under
// the preset's flavour, with the preset's picture as the drag image. The
// codec lists use it too, with their own flavours and pictures.
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>

#include "framework/FourCharCode.h"
#include "platform/media/FSSpec.h"

class QWidget;

class EffectDragTask {
public:
    // The mouse point and the cell are in the source widget's coordinates.
    EffectDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file, OSType flavor,
                   int16_t pictureID);
    ~EffectDragTask();
    EffectDragTask(const EffectDragTask&) = delete;
    EffectDragTask& operator=(const EffectDragTask&) = delete;

    // The record the drag carries; empty when the file has no name.
    QByteArray MakeRecord() const;
    // Performs the drag; the answer of the drop target.
    Qt::DropAction Run();

    // Runs drags instead of the window system (tests, scripts); null
    // restores the real drag.
    using DragRunner = std::function<Qt::DropAction(QWidget* source, std::unique_ptr<QMimeData> data,
                                                    const QPixmap& image)>;
    static void SetDragRunner(DragRunner runner);

private:
    QWidget* mSource;
    QPoint mMouse;
    QRect mCell;
    FSSpec mFile;
    OSType mFlavor;
    int16_t mPictureID;
    QPixmap mDragImage;  // made when the drag runs, released with the task
};
