#include "catalogs/PresetListButtons.h"

#include <QWidget>

#include "catalogs/CFileListBase.h"
#include "catalogs/PresetFile.h"
#include "framework/LListener.h"
#include "framework/gui/ErrorMessages.h"
#include "framework/gui/LControl.h"

SPresetButtons SPresetButtons::Find(QWidget* list, PaneIDT newID, PaneIDT editID, PaneIDT deleteID,
                                    LListener* listener) {
    // The nearest buttons around the list: two lists of one kind in a
    // window each have their own.
    QWidget* scope = list != nullptr ? list->parentWidget() : nullptr;
    while (scope != nullptr && FindPaneByID<LControl>(scope, newID) == nullptr) scope = scope->parentWidget();
    if (scope == nullptr && list != nullptr) scope = list->window();
    SPresetButtons buttons;
    buttons.newButton = FindRequiredPane<LControl>(scope, newID);
    buttons.editButton = FindRequiredPane<LControl>(scope, editID);
    buttons.deleteButton = FindRequiredPane<LControl>(scope, deleteID);
    for (LControl* control : {buttons.newButton, buttons.editButton, buttons.deleteButton})
        control->AddListener(listener);
    return buttons;
}

void SPresetButtons::EnableForSelection(bool hasSelection) const {
    for (LControl* control : {editButton, deleteButton})
        if (control != nullptr) control->Widget()->setEnabled(hasSelection);
}

bool StoreNewPreset(CFileListBase& list, const Handle& preset, OSType fileType, int32_t errorCode) {
    FSSpec file;
    if (!list.SavePreset(file, fileType)) return false;
    if (!WritePresetFile(file, preset)) {
        ShowErrorForCode(errorCode);
        return false;
    }
    list.ReloadSoon();
    return true;
}

bool StoreEditedPreset(const FSSpec& file, const Handle& preset, int32_t errorCode) {
    if (WritePresetFile(file, preset)) return true;
    ShowErrorForCode(errorCode);
    return false;
}
