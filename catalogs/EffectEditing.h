// Making and editing effect descriptions with the standard parameter
// dialog, for the effects catalogs and the filter list.
#pragma once

#include <optional>

#include "framework/Handle.h"
#include "platform/media/OffscreenWorld.h"

// Runs the parameter dialog on a description (none: a new one) with the
// effects of an effect list to choose from and a preview picture (none:
// the test picture). The confirmed description comes back cleaned: only
// 'what', 'src ', 'trak', 'Edsc', 'Etim' and the parameters its effect
// describes stay. None when cancelled, and at once for a description
// marked 'NONE' or one that is not a container.
std::optional<Handle> EditEffect(const Handle* description, const Handle& effectList, const OffscreenWorld* picture);

// Edits a filter of the document's chain in place, its effect fixed. On OK
// the parameters are taken and the description cleaned. Either way the
// filter loses its 'src ' atoms and its 'Edsc' text, so that it shows its
// effect's own name from then on. False when the effect is unknown (the
// filter is then left alone) or the user cancelled.
bool EditFilterParameters(Handle& filter, const OffscreenWorld* picture);
