#include "catalogs/CEffectsListView.h"

#include <QApplication>

#include "catalogs/CatalogDrawing.h"
#include "catalogs/EffectDragTask.h"
#include "catalogs/EffectEditing.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"
#include "platform/media/effects/EffectRendering.h"

CEffectsListView::CEffectsListView(QWidget* parent, int32_t effectKind)
    : CFileListBase(parent), mEffectKind(effectKind) {}

CEffectsListView::~CEffectsListView() = default;

void CEffectsListView::FinishCreateSelf() {
    mButtons = SPresetButtons::Find(this, kNewEffectPresetButton, kEditEffectPresetButton,
                                    kDeleteEffectPresetButton, this);
    mButtons.EnableForSelection(GetSelection().IsSet());
    CFileListBase::FinishCreateSelf();
}

void CEffectsListView::OnMessage(MessageT message, void*) {
    if (message == kNewEffectPresetButton)
        NewPreset();
    else if (message == kEditEffectPresetButton && GetSelection().IsSet())
        EditPreset(GetSelection());
    else if (message == kDeleteEffectPresetButton)
        DeleteSelection(false);
}

void CEffectsListView::AddFileItem(const FSSpec& file, OSType fileType) {
    if (fileType == kEffectPresetType) CFileListBase::AddFileItem(file, fileType);
}

// Transitions share the codec presets' folder; the single-source effects
// have their own.
std::string CEffectsListView::FolderName() const {
    return mEffectKind == 2 ? PresetFolders::CodecFolderName() : PresetFolders::FilterFolderName();
}

void CEffectsListView::SelectionChanged() { mButtons.EnableForSelection(GetSelection().IsSet()); }

void CEffectsListView::NewPreset() {
    std::optional<Handle> effect = EditEffect(nullptr, GetEffectList(mEffectKind), nullptr);
    if (!effect) return;
    StoreNewPreset(*this, *effect, kEffectPresetType, kEffectPresetWriteError);
}

void CEffectsListView::EditPreset(const FSSpec& file) {
    Handle description;
    if (!ReadPresetFile(file, description)) return;
    std::optional<Handle> edited = EditEffect(&description, GetEffectList(mEffectKind), nullptr);
    if (!edited) {
        QApplication::beep();
        return;
    }
    StoreEditedPreset(file, *edited, kEffectPresetWriteError);
}

void CEffectsListView::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    EffectDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file,
                        kEffectPresetType, kEffectPresetPicture);
    task.Run();
}

void CEffectsListView::DrawItem(const QRect& content, const FSSpec&, bool active) {
    DrawFittedPicture(kEffectPresetPicture, content, active);
}
