// Writing what a settings dialog changed back into a settings container
// without touching anything else: only the fields whose values differ are
// written, atoms the dialogs do not know (and bytes past a field's layout)
// stay as they were, and a container the user confirmed unchanged comes
// back byte for byte.
#pragma once

#include "platform/media/encode/SoundSettings.h"
#include "platform/media/encode/VideoSettings.h"

class AtomContainer;

void PatchVideoSettings(AtomContainer& container, const VideoSettings& before, const VideoSettings& after);
void PatchSoundSettings(AtomContainer& container, const SoundSettings& before, const SoundSettings& after);
