// What the video and sound codec catalogs share: a grid of one kind of
// preset file from the codec presets folder (which holds other kinds too),
// with New, Edit and Delete buttons, the settings dialog of that kind, and
// drags that hand a preset to the document.
#pragma once

#include "catalogs/CFileListBase.h"
#include "catalogs/PresetListButtons.h"
#include "framework/LListener.h"

struct SCodecPresetKind {
    OSType fileType;
    PaneIDT newButton, editButton, deleteButton;
    int32_t writeError;       // reported when a preset file cannot be written
    int16_t picture;          // cell and drag picture
    bool (*edit)(Handle&);    // the settings dialog; true when confirmed
};

class CCodecPresetList : public CFileListBase, public LListener {
public:
    CCodecPresetList(QWidget* parent, const SCodecPresetKind& kind);
    ~CCodecPresetList() override;

    void OnMessage(MessageT message, void* parameter) override;

    // The button actions: a new preset from the settings dialog, the
    // selected one edited in place.
    void NewPreset();
    void EditPreset(const FSSpec& file);

    const SPresetButtons& Buttons() const { return mButtons; }

protected:
    void FinishCreateSelf() override;
    void AddFileItem(const FSSpec& file, OSType fileType) override;
    std::string FolderName() const override;
    void SelectionChanged() override;
    void OpenItem(const FSSpec& file) override { EditPreset(file); }
    void DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) override;
    void DrawItem(const QRect& content, const FSSpec& file, bool active) override;

private:
    const SCodecPresetKind& mKind;
    SPresetButtons mButtons;
};
