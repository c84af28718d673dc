// Naming and running effects. An effect description is an atom container
// (in a handle) holding the effect type in 'what', its parameters as
// top-level atoms, optionally a description text in 'Edsc' and the names
// of its sources in 'src ' atoms, which are rewritten each time it runs.
//
// Filters run in place over an offscreen world. The compression job runs
// the same filters over every frame, so each configured filter graph is kept
// per (description, frame size) and reused: in steady state a frame costs
// two copies and the graph's own work, never a rebuild.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "framework/FourCharCode.h"
#include "framework/Handle.h"
#include "platform/media/OffscreenWorld.h"

class AtomContainer;

constexpr OSType kEffectTypeAtom = FourCC("what");
constexpr OSType kEffectSourceAtom = FourCC("src ");
constexpr OSType kEffectDescriptionTextAtom = FourCC("Edsc");
constexpr OSType kEffectSourceA = FourCC("srcA");
constexpr OSType kEffectSourceB = FourCC("srcB");
constexpr OSType kEffectListNameAtom = FourCC("name");
constexpr OSType kEffectListTypeAtom = FourCC("type");

// The kinds GetEffectList knows; any other value gives every effect.
constexpr int32_t kAllEffects = -1;

// The effect list for a kind (0, 1 or 2 sources; anything else: all), an
// atom container with parallel 'name' and 'type' atoms. Built once.
const Handle& GetEffectList(int32_t kind);

// Number of sources an effect description's type takes: 0, 1 or 2; a
// description that cannot be read or an unknown type gives 0.
int CountEffectSources(const Handle& effect);

// The 'Edsc' text when there is one, otherwise the type's display name,
// otherwise empty.
std::string GetEffectName(const Handle& effect);

// Runs one effect over the world in place; false leaves it untouched. The
// description's 'src ' atoms are rewritten and removed again, so afterwards
// it holds none.
bool ApplyFilter(OffscreenWorld& world, Handle& filter);

// Runs each filter in order on the previous one's result; true when every
// one succeeded (a failing filter does not stop the chain).
bool ApplyFilterList(OffscreenWorld& world, std::span<Handle* const> filters);
bool ApplyFilterList(OffscreenWorld& world, std::vector<Handle>& filters);

// Renders an effect with `source` as its first source into `result`, which
// is (re)allocated with the source's size and format. True on success.
bool RenderEffect(OffscreenWorld& result, const OffscreenWorld& source, Handle& effect);

// A new effect description: 'what' and one top-level atom (id 1, 32-bit
// big-endian) per given parameter, in order.
Handle MakeEffectDescription(OSType type,
                             std::initializer_list<std::pair<OSType, int32_t>> parameters = {});
Handle MakeEffectDescription(OSType type, const std::vector<std::pair<OSType, int32_t>>& parameters);

// Sets the 'src ' atoms for an effect with that many sources: all removed,
// then 'srcA' at index 1 when it takes one or more, 'srcB' at index 2 when
// it takes two.
void SetEffectSources(AtomContainer& description, int sources);

// Keeps only the atoms an effect description is made of: 'what', 'src ',
// 'trak', 'Edsc', 'Etim' and the parameters its type describes. A handle
// that is not a container comes back unchanged.
Handle CleanEffectDescription(const Handle& effect);

// The renderer behind the functions above. One process-wide instance serves
// them; tests may make their own for a fresh cache.
class EffectRenderer {
public:
    EffectRenderer();
    ~EffectRenderer();
    EffectRenderer(const EffectRenderer&) = delete;
    EffectRenderer& operator=(const EffectRenderer&) = delete;

    static EffectRenderer& Shared();

    bool ApplyFilter(OffscreenWorld& world, Handle& filter);
    bool RenderEffect(OffscreenWorld& result, const OffscreenWorld& source, Handle& effect);

    // Called with the description as it is handed to the graph builder,
    // 'src ' atoms in place, whenever a graph is built for it.
    void SetPreparedDescriptionObserver(std::function<void(const Handle&)> observer);

    // Graphs built since construction (a steady state builds none).
    int GraphsBuilt() const;
    void ClearCache();

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};
