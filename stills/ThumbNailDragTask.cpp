#include "stills/ThumbNailDragTask.h"

#include <QByteArray>
#include <QUrl>
#include <cstring>

#include "framework/gui/DragFlavors.h"

ThumbNailDragTask::ThumbNailDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file)
    : mSource(source), mMouse(mouse), mCell(cell), mFile(file) {}

std::unique_ptr<QMimeData> ThumbNailDragTask::MakeDragData() const {
    if (!mFile.IsSet()) return nullptr;
    QByteArray reference(int(sizeof mFile), '\0');
    std::memcpy(reference.data(), &mFile, sizeof mFile);
    auto data = MakeFlavorMimeData(kFlavorThumbnail, reference);
    // The file flavour travels as a file URL; receivers turn it back into
    // the file record.
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(mFile.Path()))});
    return data;
}

Qt::DropAction ThumbNailDragTask::Run() {
    std::unique_ptr<QMimeData> data = MakeDragData();
    if (!data) return Qt::IgnoreAction;
    return RunFlavorDrag(mSource, std::move(data), Qt::CopyAction | Qt::MoveAction);
}
