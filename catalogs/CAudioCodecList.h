// The catalog of sound compression presets: the 'QTac' files of the codec
// presets folder, edited with the sound settings dialog.
#pragma once

#include "catalogs/CCodecPresetList.h"

constexpr PaneIDT kNewAudioPresetButton = PaneIDT(FourCC("aNEW"));
constexpr PaneIDT kEditAudioPresetButton = PaneIDT(FourCC("aEDT"));
constexpr PaneIDT kDeleteAudioPresetButton = PaneIDT(FourCC("aDEL"));
constexpr int32_t kAudioPresetWriteError = 10007;

class CAudioCodecList : public CCodecPresetList {
public:
    explicit CAudioCodecList(QWidget* parent = nullptr);
};
