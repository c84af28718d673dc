// The New, Edit and Delete buttons of a preset list and the steps that
// store a preset, shared by the codec and effects catalogs.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "framework/gui/LPane.h"
#include "platform/media/FSSpec.h"

class CFileListBase;
class LControl;
class LListener;
class QWidget;

struct SPresetButtons {
    LControl* newButton = nullptr;
    LControl* editButton = nullptr;
    LControl* deleteButton = nullptr;

    // The buttons in the list's window; a missing one throws 'nilP'. The
    // listener hears all three.
    static SPresetButtons Find(QWidget* list, PaneIDT newID, PaneIDT editID, PaneIDT deleteID, LListener* listener);
    // Edit and Delete act on the selection.
    void EnableForSelection(bool hasSelection) const;
};

// Asks for the new preset's file, writes it (type and creator of the
// presets) and has the list read its folder again. A failed write shows
// the error for errorCode. False when cancelled or failed.
bool StoreNewPreset(CFileListBase& list, const Handle& preset, OSType fileType, int32_t errorCode);
// Writes an edited preset back into its file; a failure shows the error.
bool StoreEditedPreset(const FSSpec& file, const Handle& preset, int32_t errorCode);
