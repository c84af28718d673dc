#include "catalogs/EffectDragTask.h"

#include <QDrag>
#include <QWidget>
#include <cstring>

#include "catalogs/CatalogDrawing.h"
#include "framework/gui/DragFlavors.h"

namespace {

constexpr int kDragImageSize = 64;

EffectDragTask::DragRunner& Runner() {
    static EffectDragTask::DragRunner runner;
    return runner;
}

}  // namespace

EffectDragTask::EffectDragTask(QWidget* source, QPoint mouse, const QRect& cell, const FSSpec& file,
                               OSType flavor, int16_t pictureID)
    : mSource(source), mMouse(mouse), mCell(cell), mFile(file), mFlavor(flavor), mPictureID(pictureID) {}

EffectDragTask::~EffectDragTask() = default;

void EffectDragTask::SetDragRunner(DragRunner runner) { Runner() = std::move(runner); }

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
    if (!picture.isNull())
        mDragImage = QPixmap::fromImage(
            picture.scaled(kDragImageSize, kDragImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    std::unique_ptr<QMimeData> data = MakeFlavorMimeData(mFlavor, record);
    if (Runner()) return Runner()(mSource, std::move(data), mDragImage);
    return RunFlavorDrag(mSource, std::move(data), Qt::CopyAction);
}
