// The catalog of video compression presets: the 'QTcd' files of the codec
// presets folder, edited with the video settings dialog.
#pragma once

#include "catalogs/CCodecPresetList.h"

constexpr PaneIDT kNewVideoPresetButton = PaneIDT(FourCC("cNEW"));
constexpr PaneIDT kEditVideoPresetButton = PaneIDT(FourCC("cEDT"));
constexpr PaneIDT kDeleteVideoPresetButton = PaneIDT(FourCC("cDEL"));
constexpr int32_t kVideoPresetWriteError = 10008;

class CVideoCodecList : public CCodecPresetList {
public:
    explicit CVideoCodecList(QWidget* parent = nullptr);
};
