// One drag of a thumbnail: the picture's file reference under the private
// 'Vthm' flavour (for the movie preview), and the same file as 'hfs ' (a
// file URL) for anything that only understands files.
#pragma once

#include <QMimeData>
#include <QPoint>
#include <QRect>
#include <memory>

#include "platform/media/FSSpec.h"

class QWidget;

class ThumbNailDragTask {
public:
    ThumbNailDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file);

    // The drag's data: both flavours; null when the file has no name.
    std::unique_ptr<QMimeData> MakeDragData() const;
    // Performs the drag with copy and move allowed; the target's answer.
    Qt::DropAction Run();

private:
    QWidget* mSource;
    QPoint mMouse;
    QRect mCell;
    FSSpec mFile;
};
