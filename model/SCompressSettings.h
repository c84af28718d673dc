// What a document hands the compression job: the picture's geometry, the
// watermark, and the document's own lists (not copied, not owned).
#pragma once

#include <cstdint>

#include "framework/TArray.h"
#include "model/CDescriptionList.h"
#include "model/TimeRange.h"
#include "platform/media/FSSpec.h"
#include "platform/media/Rect.h"

struct SCompressSettings {
    Rect crop;                  // part of the flipped and rotated picture that the output shows
    bool flipHorizontal = false;
    bool flipVertical = false;
    int32_t rotation = 0;       // 0, 90, 180 or 270
    int32_t outputWidth = 0;    // 0: the crop's size
    int32_t outputHeight = 0;
    FSSpec watermarkFile;
    uint32_t watermarkPlacement = 12;
    const CDescriptionList* videoSegments = nullptr;
    const CDescriptionList* audioSegments = nullptr;  // only the first entry is used
    const CDescriptionList* filters = nullptr;
    const TArray<TimeRange*>* excludedRanges = nullptr;  // sorted by start
};
