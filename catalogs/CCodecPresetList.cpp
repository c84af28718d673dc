#include "catalogs/CCodecPresetList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/EffectDragTask.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"

CCodecPresetList::CCodecPresetList(QWidget* parent, const SCodecPresetKind& kind)
    : CFileListBase(parent), mKind(kind) {}

CCodecPresetList::~CCodecPresetList() = default;

void CCodecPresetList::FinishCreateSelf() {
    mButtons = SPresetButtons::Find(this, mKind.newButton, mKind.editButton,
                                    mKind.deleteButton, this);
    mButtons.EnableForSelection(GetSelection().IsSet());
    CFileListBase::FinishCreateSelf();
}

void CCodecPresetList::OnMessage(MessageT message, void*) {
    if (message == mKind.newButton)
        NewPreset();
    else if (message == mKind.editButton && GetSelection().IsSet())
        EditPreset(GetSelection());
    else if (message == mKind.deleteButton)
        DeleteSelection(false);
}

void CCodecPresetList::AddFileItem(const FSSpec& file, OSType fileType) {
    if (fileType == mKind.fileType) CFileListBase::AddFileItem(file, fileType);
}

std::string CCodecPresetList::FolderName() const { return PresetFolders::CodecFolderName(); }

void CCodecPresetList::SelectionChanged() { mButtons.EnableForSelection(GetSelection().IsSet()); }

void CCodecPresetList::NewPreset() {
    Handle settings;
    if (!mKind.edit(settings)) return;
    StoreNewPreset(*this, settings, mKind.fileType, mKind.writeError);
}

void CCodecPresetList::EditPreset(const FSSpec& file) {
    Handle settings;
    if (!ReadPresetFile(file, settings)) return;
    if (mKind.edit(settings)) StoreEditedPreset(file, settings, mKind.writeError);
}

void CCodecPresetList::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    EffectDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file,
                        mKind.fileType, mKind.picture);
    task.Run();
}

void CCodecPresetList::DrawItem(const QRect& content, const FSSpec&, bool active) {
    DrawFittedPicture(mKind.picture, content, active);
}
