#include "catalogs/CVideoCodecList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/EffectDragTask.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"

CVideoCodecList::CVideoCodecList(QWidget* parent) : CFileListBase(parent) {}

CVideoCodecList::~CVideoCodecList() = default;

void CVideoCodecList::FinishCreateSelf() {
    mButtons = SPresetButtons::Find(this, kNewVideoPresetButton, kEditVideoPresetButton,
                                    kDeleteVideoPresetButton, this);
    mButtons.EnableForSelection(GetSelection().IsSet());
    CFileListBase::FinishCreateSelf();
}

void CVideoCodecList::OnMessage(MessageT message, void*) {
    if (message == kNewVideoPresetButton)
        NewPreset();
    else if (message == kEditVideoPresetButton && GetSelection().IsSet())
        EditPreset(GetSelection());
    else if (message == kDeleteVideoPresetButton)
        DeleteSelection(false);
}

void CVideoCodecList::AddFileItem(const FSSpec& file, OSType fileType) {
    if (fileType == kVideoPresetType) CFileListBase::AddFileItem(file, fileType);
}

std::string CVideoCodecList::FolderName() const { return PresetFolders::CodecFolderName(); }

void CVideoCodecList::SelectionChanged() { mButtons.EnableForSelection(GetSelection().IsSet()); }

void CVideoCodecList::NewPreset() {
    Handle settings;
    if (!EditVideoSettings(settings)) return;
    StoreNewPreset(*this, settings, kVideoPresetType, kVideoPresetWriteError);
}

void CVideoCodecList::EditPreset(const FSSpec& file) {
    Handle settings;
    if (!ReadPresetFile(file, settings)) return;
    if (EditVideoSettings(settings)) StoreEditedPreset(file, settings, kVideoPresetWriteError);
}

void CVideoCodecList::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    EffectDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file,
                        kVideoPresetType, kVideoPresetPicture);
    task.Run();
}

void CVideoCodecList::DrawItem(const QRect& content, const FSSpec&, bool active) {
    DrawFittedPicture(kVideoPresetPicture, content, active);
}
