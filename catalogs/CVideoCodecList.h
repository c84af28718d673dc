// The catalog of video compression presets: a grid of the 'QTcd' files of
// the codec presets folder (which holds other kinds too), with New, Edit
// and Delete buttons, and drags that hand a preset to the document.
#pragma once

#include "catalogs/CFileListBase.h"
#include "catalogs/PresetListButtons.h"
#include "framework/LListener.h"

constexpr PaneIDT kNewVideoPresetButton = PaneIDT(FourCC("cNEW"));
constexpr PaneIDT kEditVideoPresetButton = PaneIDT(FourCC("cEDT"));
constexpr PaneIDT kDeleteVideoPresetButton = PaneIDT(FourCC("cDEL"));
constexpr int32_t kVideoPresetWriteError = 10008;

class CVideoCodecList : public CFileListBase, public LListener {
public:
    explicit CVideoCodecList(QWidget* parent = nullptr);
    ~CVideoCodecList() override;

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
    SPresetButtons mButtons;
};
