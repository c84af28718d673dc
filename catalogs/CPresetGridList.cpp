#include "catalogs/CPresetGridList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/EffectDragTask.h"

CPresetGridList::CPresetGridList(QWidget* parent, const SPresetGridKind& kind)
    : CFileListBase(parent), mGrid(kind) {}

CPresetGridList::~CPresetGridList() = default;

void CPresetGridList::FinishCreateSelf() {
    mButtons = SPresetButtons::Find(this, mGrid.newButton, mGrid.editButton, mGrid.deleteButton, this);
    mButtons.EnableForSelection(GetSelection().IsSet());
    CFileListBase::FinishCreateSelf();
}

void CPresetGridList::OnMessage(MessageT message, void*) {
    if (message == mGrid.newButton)
        NewPreset();
    else if (message == mGrid.editButton && GetSelection().IsSet())
        EditPreset(GetSelection());
    else if (message == mGrid.deleteButton)
        DeleteSelection(false);
}

// The folder may hold other kinds of preset too.
void CPresetGridList::AddFileItem(const FSSpec& file, OSType fileType) {
    if (fileType == mGrid.fileType) CFileListBase::AddFileItem(file, fileType);
}

void CPresetGridList::SelectionChanged() { mButtons.EnableForSelection(GetSelection().IsSet()); }

void CPresetGridList::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    EffectDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file,
                        mGrid.fileType, mGrid.picture);
    task.Run();
}

void CPresetGridList::DrawItem(const QRect& content, const FSSpec&, bool active) {
    DrawFittedPicture(mGrid.picture, content, active);
}
