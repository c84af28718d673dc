// The time span of a settings segment: an 'Etim' atom at the top level of
// the segment's description, id 0, holding start value, start scale, end
// value and end scale as 32-bit integers in the machine's own byte order
// (the rest of the container is big-endian; this atom never was).
#pragma once

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "model/TimeValue.h"

constexpr OSType kDescriptionTimeAtom = FourCC("Etim");

// The span of the first 'Etim' atom; 0 in scale 1 for both ends when the
// handle is null, not a container, or has no complete 'Etim' atom.
void GetDescriptionTime(const Handle* description, STimeValue& start, STimeValue& end);

// Replaces the first 'Etim' atom (or adds one) with the given span. An
// empty handle becomes a container holding just that atom. Returns false,
// leaving the handle alone, when it is null or not a container.
bool SetDescriptionTime(Handle* description, const STimeValue& start, const STimeValue& end);
