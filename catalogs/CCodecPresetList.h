// What the video and sound codec catalogs share: a grid of one kind of
// preset file from the codec presets folder (which holds other kinds too),
// edited with the settings dialog of that kind.
#pragma once

#include "catalogs/CPresetGridList.h"

struct SCodecPresetKind {
    SPresetGridKind grid;
    int32_t writeError;       // reported when a preset file cannot be written
    bool (*edit)(Handle&);    // the settings dialog; true when confirmed
};

class CCodecPresetList : public CPresetGridList {
public:
    CCodecPresetList(QWidget* parent, const SCodecPresetKind& kind);
    ~CCodecPresetList() override;

    void NewPreset() override;
    void EditPreset(const FSSpec& file) override;

protected:
    std::string FolderName() const override;

private:
    const SCodecPresetKind& mKind;
};
