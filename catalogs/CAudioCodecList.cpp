#include "catalogs/CAudioCodecList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/EffectDragTask.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"

CAudioCodecList::CAudioCodecList(QWidget* parent) : CFileListBase(parent) {}

CAudioCodecList::~CAudioCodecList() = default;

void CAudioCodecList::FinishCreateSelf() {
    mButtons = SPresetButtons::Find(this, kNewAudioPresetButton, kEditAudioPresetButton,
                                    kDeleteAudioPresetButton, this);
    mButtons.EnableForSelection(GetSelection().IsSet());
    CFileListBase::FinishCreateSelf();
}

void CAudioCodecList::OnMessage(MessageT message, void*) {
    if (message == kNewAudioPresetButton)
        NewPreset();
    else if (message == kEditAudioPresetButton && GetSelection().IsSet())
        EditPreset(GetSelection());
    else if (message == kDeleteAudioPresetButton)
        DeleteSelection(false);
}

void CAudioCodecList::AddFileItem(const FSSpec& file, OSType fileType) {
    if (fileType == kAudioPresetType) CFileListBase::AddFileItem(file, fileType);
}

std::string CAudioCodecList::FolderName() const { return PresetFolders::CodecFolderName(); }

void CAudioCodecList::SelectionChanged() { mButtons.EnableForSelection(GetSelection().IsSet()); }

void CAudioCodecList::NewPreset() {
    Handle settings;
    if (!EditAudioSettings(settings)) return;
    StoreNewPreset(*this, settings, kAudioPresetType, kAudioPresetWriteError);
}

void CAudioCodecList::EditPreset(const FSSpec& file) {
    Handle settings;
    if (!ReadPresetFile(file, settings)) return;
    if (EditAudioSettings(settings)) StoreEditedPreset(file, settings, kAudioPresetWriteError);
}

void CAudioCodecList::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    EffectDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file,
                        kAudioPresetType, kAudioPresetPicture);
    task.Run();
}

void CAudioCodecList::DrawItem(const QRect& content, const FSSpec&, bool active) {
    DrawFittedPicture(kAudioPresetPicture, content, active);
}
