#include "catalogs/CVideoCodecList.h"

#include "catalogs/CatalogDrawing.h"
#include "catalogs/CompressionSettingsEditing.h"
#include "catalogs/PresetFolders.h"

namespace {
const SCodecPresetKind kVideoPresets{
    {kVideoPresetType, kNewVideoPresetButton, kEditVideoPresetButton, kDeleteVideoPresetButton, kVideoPresetPicture},
    kVideoPresetWriteError, &EditVideoSettings};
}

CVideoCodecList::CVideoCodecList(QWidget* parent) : CCodecPresetList(parent, kVideoPresets) {}
