// The catalogs of effect presets: a grid of the 'QTfx' files of one presets
// folder, with New, Edit and Delete buttons and drags that hand a preset
// to the filter list or the timeline. The effect kind (number of sources)
// says which effects the parameter dialog offers.
#pragma once

#include "catalogs/CPresetGridList.h"

constexpr PaneIDT kNewEffectPresetButton = PaneIDT(FourCC("eNEW"));
constexpr PaneIDT kEditEffectPresetButton = PaneIDT(FourCC("eEDT"));
constexpr PaneIDT kDeleteEffectPresetButton = PaneIDT(FourCC("eDEL"));
constexpr int32_t kEffectPresetWriteError = 10008;

class CEffectsListView : public CPresetGridList {
public:
    explicit CEffectsListView(QWidget* parent = nullptr, int32_t effectKind = 1);
    ~CEffectsListView() override;

    int32_t GetEffectKind() const { return mEffectKind; }

    void NewPreset() override;
    void EditPreset(const FSSpec& file) override;

protected:
    std::string FolderName() const override;

private:
    int32_t mEffectKind;
};
