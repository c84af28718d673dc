// The values of a video settings description ('vide' with 'sptl', 'tprl',
// 'drat' and 'xopt'), read with the defaults used everywhere: codec 'raw ',
// spatial and temporal quality normal (0x200), no forced key frames.
#pragma once

#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/encode/EncoderOptions.h"

class AtomContainer;

struct VideoSettings {
    OSType codecType = FourCC("raw ");
    OSType codecComponent = 0;
    int16_t depth = 0;
    int32_t spatialQuality = 0x200;
    int32_t temporalQuality = 0x200;
    uint32_t frameRate = 0;        // 16.16 frames per second; 0 when the settings carry none
    int32_t keyFrameRate = 0;      // largest distance between key frames; 0 = encoder's choice
    uint32_t dataRate = 0;         // bytes per second; 0 = quality-based
    uint32_t frameDuration = 0;
    int32_t minSpatialQuality = 0;
    int32_t minTemporalQuality = 0;
    EncoderOptions options;        // 'xopt'
    bool hasSpatial = false;       // 'sptl' was present
    bool hasTemporal = false;      // 'tprl' was present

    // A null or empty handle gives the defaults; a handle that is not an
    // atom container throws LException(kInvalidAtomContainerErr). Atoms
    // shorter than their layout keep the defaults for the missing fields.
    static VideoSettings FromHandle(const Handle& settings);
    static VideoSettings FromContainer(const AtomContainer& container);
    // The same, with missing or unreadable settings counted as the defaults.
    static VideoSettings ReadOrDefaults(const Handle* settings);

    // Writes 'vide' with 'sptl', 'tprl', and 'drat'/'xopt' when set.
    void WriteTo(AtomContainer& container) const;
    Handle ToHandle() const;
};

// A settings description for one codec; the rest is left at the defaults.
Handle MakeVideoSettings(OSType codecType, int32_t spatialQuality = 0x200, int32_t keyFrameRate = 0,
                         uint32_t dataRate = 0, uint32_t frameRate = 0,
                         const EncoderOptions& options = {});

// The built-in video setting: H.264 at normal quality.
Handle DefaultVideoSettings();
