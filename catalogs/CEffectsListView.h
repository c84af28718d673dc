// The catalogs of effect presets: a grid of the 'QTfx' files of one presets
// folder, with New, Edit and Delete buttons and drags that hand a preset
// to the filter list or the timeline. The effect kind (number of sources)
// says which effects the parameter dialog offers.
#pragma once

#include "catalogs/CFileListBase.h"
#include "catalogs/PresetListButtons.h"
#include "framework/LListener.h"

constexpr PaneIDT kNewEffectPresetButton = PaneIDT(FourCC("eNEW"));
constexpr PaneIDT kEditEffectPresetButton = PaneIDT(FourCC("eEDT"));
constexpr PaneIDT kDeleteEffectPresetButton = PaneIDT(FourCC("eDEL"));
constexpr int32_t kEffectPresetWriteError = 10008;

class CEffectsListView : public CFileListBase, public LListener {
public:
    explicit CEffectsListView(QWidget* parent = nullptr, int32_t effectKind = 1);
    ~CEffectsListView() override;

    int32_t GetEffectKind() const { return mEffectKind; }

    void OnMessage(MessageT message, void* parameter) override;

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
    int32_t mEffectKind;
};
