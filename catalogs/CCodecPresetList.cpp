#include "catalogs/CCodecPresetList.h"

#include "catalogs/PresetFile.h"
#include "catalogs/PresetFolders.h"

CCodecPresetList::CCodecPresetList(QWidget* parent, const SCodecPresetKind& kind)
    : CPresetGridList(parent, kind.grid), mKind(kind) {}

CCodecPresetList::~CCodecPresetList() = default;

std::string CCodecPresetList::FolderName() const { return PresetFolders::CodecFolderName(); }

void CCodecPresetList::NewPreset() {
    Handle settings;
    if (!mKind.edit(settings)) return;
    StoreNewPreset(*this, settings, mKind.grid.fileType, mKind.writeError);
}

void CCodecPresetList::EditPreset(const FSSpec& file) {
    Handle settings;
    if (!ReadPresetFile(file, settings)) return;
    if (mKind.edit(settings)) StoreEditedPreset(file, settings, mKind.writeError);
}
