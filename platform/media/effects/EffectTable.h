// The effects this program knows: one table of effect types with their
// display names, the number of sources each takes, the parameters an effect
// description may carry, and how each one is rendered as a filter graph.
// The effect lists, the parameter dialog and the renderer all read from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/FourCharCode.h"

class AtomContainer;

enum class EffectParameterKind { Slider, Choice };

struct EffectChoice {
    int32_t value;
    std::string label;
};

struct EffectParameter {
    OSType atomType;          // top-level atom of the description, id 1
    std::string meaning;      // label shown in the parameter dialog
    int32_t minimum;
    int32_t maximum;
    int32_t defaultValue;
    EffectParameterKind kind = EffectParameterKind::Slider;
    std::vector<EffectChoice> choices;  // only for Choice

    // The value as stored: clamped into range; a choice that is not listed
    // falls back to the default.
    int32_t Clamp(int32_t value) const;
};

// Parameter values in the order of EffectType::parameters.
using EffectValues = std::vector<int32_t>;

struct EffectType {
    OSType type;
    std::string name;
    int sources;  // 0, 1 or 2
    std::vector<EffectParameter> parameters;

    // libavfilter graph text for one frame of width x height. Inputs are the
    // labels [a] (the first source) and [b] (the second), the result is [out];
    // every frame is RGB24. Two-source effects are drawn at one tenth of their
    // course. Values come in the order of `parameters`, already clamped.
    std::string (*buildGraph)(const EffectValues& values, int width, int height);

    const EffectParameter* FindParameter(OSType atomType) const;
};

namespace effects {

// Every effect type, in the order the effect lists show them.
const std::vector<EffectType>& AllEffectTypes();

// The table entry for a type, or null for a type the table does not hold.
const EffectType* FindEffectType(OSType type);

// The parameter values of a description: each parameter's top-level atom
// (id 1, 32-bit big-endian), clamped; a missing or short atom gives the
// default.
EffectValues ReadEffectValues(const EffectType& effect, const AtomContainer& description);

}  // namespace effects
