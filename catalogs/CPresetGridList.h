// What every preset catalog shares: a grid of one type of preset file with
// New, Edit and Delete buttons under it, a double-click that edits, and
// drags that hand a preset to the document. Subclasses say which folder
// and how a preset is made and edited.
#pragma once

#include "catalogs/CFileListBase.h"
#include "catalogs/PresetListButtons.h"
#include "framework/LListener.h"

struct SPresetGridKind {
    OSType fileType;
    PaneIDT newButton, editButton, deleteButton;
    int16_t picture;  // cell and drag picture
};

class CPresetGridList : public CFileListBase, public LListener {
public:
    CPresetGridList(QWidget* parent, const SPresetGridKind& kind);
    ~CPresetGridList() override;

    void OnMessage(MessageT message, void* parameter) override;

    // The button actions: a new preset, the selected one edited in place.
    virtual void NewPreset() = 0;
    virtual void EditPreset(const FSSpec& file) = 0;

    const SPresetButtons& Buttons() const { return mButtons; }

protected:
    void FinishCreateSelf() override;
    void AddFileItem(const FSSpec& file, OSType fileType) override;
    void SelectionChanged() override;
    void OpenItem(const FSSpec& file) override { EditPreset(file); }
    void DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) override;
    void DrawItem(const QRect& content, const FSSpec& file, bool active) override;

private:
    SPresetGridKind mGrid;
    SPresetButtons mButtons;
};
