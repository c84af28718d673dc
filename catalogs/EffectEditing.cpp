#include "catalogs/EffectEditing.h"

#include "catalogs/CatalogDialogs.h"
#include "catalogs/EffectParameterDialog.h"
#include "catalogs/PresetFile.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/effects/EffectRendering.h"
#include "platform/media/effects/EffectTable.h"

std::optional<Handle> EditEffect(const Handle* description, const Handle& effectList, const OffscreenWorld* picture) {
    if (description != nullptr && CarriesMarker(*description, true)) return std::nullopt;
    AtomContainer start;
    if (description != nullptr && !description->IsNull() && description->Size() > 0 &&
        !AtomContainer::TryParse(*description, start))
        return std::nullopt;
    EffectParameterDialog dialog(start, effectList, picture, false);
    if (CatalogDialogs::Run(dialog) != QDialog::Accepted) return std::nullopt;
    return CleanEffectDescription(dialog.Description().ToHandle());
}

bool EditFilterParameters(Handle& filter, const OffscreenWorld* picture) {
    AtomContainer description;
    if (!AtomContainer::TryParse(filter, description)) return false;
    const QTAtomNode* what = description.Find(kEffectTypeAtom);
    if (what == nullptr || !what->leaf || what->data.size() < 4) return false;
    const EffectType* type = effects::FindEffectType(what->U32());
    if (type == nullptr) return false;  // no parameter dialog for an effect this program does not have

    // The filter runs on one source while it is edited.
    SetEffectSources(description, 1);
    EffectParameterDialog dialog(description, GetEffectList(kAllEffects), picture, true);
    const bool confirmed = CatalogDialogs::Run(dialog) == QDialog::Accepted;
    if (confirmed) description = AtomContainer::Parse(CleanEffectDescription(dialog.Description().ToHandle()));
    description.Root().RemoveChildren(kEffectSourceAtom);
    description.Root().RemoveChildren(kEffectDescriptionTextAtom);
    filter = description.ToHandle();
    return confirmed;
}
