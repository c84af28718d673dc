#include "catalogs/CAudioCodecList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/PresetFolders.h"

namespace {
const SCodecPresetKind kAudioPresets{
    {kAudioPresetType, kNewAudioPresetButton, kEditAudioPresetButton, kDeleteAudioPresetButton, kAudioPresetPicture},
    kAudioPresetWriteError, &EditAudioSettings};
}

CAudioCodecList::CAudioCodecList(QWidget* parent) : CCodecPresetList(parent, kAudioPresets) {}
