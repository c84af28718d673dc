#include "catalogs/EffectDragTask.h"

#include <QPixmap>
#include <QWidget>
#include <cstring>

#include "catalogs/CatalogDrawing.h"
#include "framework/gui/DragFlavors.h"

namespace {

constexpr int kDragImageSize = 64;

}  // namespace

EffectDragTask::EffectDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file,
                               OSType flavor, int16_t pictureID)
    : mSource(source), mMouse(mouse), mCell(cell), mFile(file), mFlavor(flavor), mPictureID(pictureID) {}

QByteArray EffectDragTask::MakeRecord() const {
    if (!mFile.IsSet()) return {};
    // File type, creator and finder flags stay zero.
    QByteArray record(int(kFileRecordSize), '\0');
    std::memcpy(record.data() + kFileRecordPrefixSize, &mFile, sizeof mFile);
    return record;
}

Qt::DropAction EffectDragTask::Run() {
    const QByteArray record = MakeRecord();
    if (record.isEmpty()) return Qt::IgnoreAction;
    const QImage picture = CatalogPicture(mPictureID);
    QPixmap image;
    if (!picture.isNull())
        image = QPixmap::fromImage(
            picture.scaled(kDragImageSize, kDragImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return RunFlavorDrag(mSource, MakeFlavorMimeData(mFlavor, record), Qt::CopyAction, image);
}
