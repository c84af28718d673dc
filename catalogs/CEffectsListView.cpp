#include "catalogs/CEffectsListView.h"

#include <QApplication>

#include "catalogs/CatalogDrawing.h"
#include "catalogs/EffectEditing.h"
#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"
#include "platform/media/effects/EffectRendering.h"

namespace {
const SPresetGridKind kEffectPresets{kEffectPresetType, kNewEffectPresetButton, kEditEffectPresetButton,
                                     kDeleteEffectPresetButton, kEffectPresetPicture};
}

CEffectsListView::CEffectsListView(QWidget* parent, int32_t effectKind)
    : CPresetGridList(parent, kEffectPresets), mEffectKind(effectKind) {}

CEffectsListView::~CEffectsListView() = default;

// Transitions share the codec presets' folder; the single-source effects
// have their own.
std::string CEffectsListView::FolderName() const {
    return mEffectKind == 2 ? PresetFolders::CodecFolderName() : PresetFolders::FilterFolderName();
}

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
