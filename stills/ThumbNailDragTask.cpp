#include "stills/ThumbNailDragTask.h"

#include <QByteArray>
#include <QUrl>
#include <cstring>

#include "framework/gui/DragFlavors.h"

namespace {
ThumbNailDragTask::DragRunner& Runner() {
    static ThumbNailDragTask::DragRunner runner;
    return runner;
}
}  // namespace

ThumbNailDragTask::ThumbNailDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file)
    : mSource(source), mMouse(mouse), mCell(cell), mFile(file) {}

void ThumbNailDragTask::SetDragRunner(DragRunner runner) { Runner() = std::move(runner); }

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
    if (Runner()) return Runner()(mSource, std::move(data));
    return RunFlavorDrag(mSource, std::move(data), Qt::CopyAction | Qt::MoveAction);
}
