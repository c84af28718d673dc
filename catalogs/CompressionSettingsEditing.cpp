#include "catalogs/CompressionSettingsEditing.h"

#include "catalogs/CatalogDialogs.h"
#include "catalogs/PresetFile.h"
#include "catalogs/SettingsPatch.h"
#include "catalogs/SoundSettingsDialog.h"
#include "catalogs/VideoSettingsDialog.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/SoundTypeTable.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "resources/StringLists.h"

namespace {

constexpr OSType kDescriptionText = FourCC("Edsc");
constexpr OSType kSound = FourCC("soun");
constexpr OSType kSoundType = FourCC("ssct");
constexpr int16_t kLabelList = 1002;
constexpr int16_t kUnknownSoundItem = 19;

// The container to edit: empty for a null or empty handle; false when the
// handle holds something that is not a container or a marked one.
bool ContainerToEdit(const Handle& settings, AtomContainer& out) {
    if (settings.IsNull() || settings.Size() == 0) {
        out = AtomContainer();
        return true;
    }
    if (!AtomContainer::TryParse(settings, out)) return false;
    return out.Find(kNotSettingsMarker) == nullptr && out.Find(kDeletedSettingsMarker) == nullptr;
}

template <class Values, class Dialog, class Patch>
bool EditWith(Handle& settings, Patch patch) {
    AtomContainer container;
    if (!ContainerToEdit(settings, container)) return false;
    const Values before = Values::FromContainer(container);
    Dialog dialog(before);
    if (CatalogDialogs::Run(dialog) != QDialog::Accepted) return false;
    patch(container, before, dialog.Settings());
    Handle edited = container.ToHandle();
    // Confirmed as it was: the bytes stay exactly the same.
    if (!(settings.IsNull() || settings.Size() == 0) && DescriptionsEqual(nullptr, settings, edited)) return true;
    settings = std::move(edited);
    return true;
}

}  // namespace

bool EditVideoSettings(Handle& settings) {
    return EditWith<VideoSettings, VideoSettingsDialog>(settings, PatchVideoSettings);
}

bool EditAudioSettings(Handle& settings) {
    return EditWith<SoundSettings, SoundSettingsDialog>(settings, PatchSoundSettings);
}

bool DescribeSettings(const Handle& settings, std::string& outText) {
    AtomContainer container;
    if (!AtomContainer::TryParse(settings, container)) return false;
    if (const QTAtomNode* text = container.Find(kDescriptionText); text != nullptr && text->leaf) {
        outText = text->Text();
        return true;
    }
    if (const QTAtomNode* sound = container.Find(kSound); sound != nullptr) {
        outText = GetIndString(kLabelList, kUnknownSoundItem);
        OSType type = FourCC("NONE");
        if (const QTAtomNode* ssct = sound->FindChild(kSoundType); ssct != nullptr && ssct->leaf && ssct->data.size() >= 4)
            type = ssct->U32();
        if (SoundTypeTable::Find(type) == nullptr) return false;
        outText = SoundTypeTable::NameOf(type);
        return true;
    }
    const VideoSettings video = VideoSettings::FromContainer(container);
    if (VideoCodecTable::Find(video.codecType) == nullptr) return false;
    outText = VideoCodecTable::NameOf(video.codecType);
    return true;
}
