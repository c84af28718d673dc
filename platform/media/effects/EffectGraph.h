// One configured libavfilter graph for one effect at one frame size. The
// first source is fed from the world, the second (for transitions) is a
// black frame; the result is written back over the world. Frames come from
// buffer pools, so running the graph again allocates no pixel memory.
#pragma once

#include <memory>
#include <string>

#include "platform/media/OffscreenWorld.h"

class EffectGraph {
public:
    // Null when the graph text does not configure.
    static std::unique_ptr<EffectGraph> Build(const std::string& graphText, int sources, int width, int height);
    ~EffectGraph();

    // Runs one frame over the world (its size must be the graph's); the world
    // is only written when the graph produced a frame. An RGBA world keeps
    // its alpha.
    bool Run(OffscreenWorld& world);

    EffectGraph(const EffectGraph&) = delete;
    EffectGraph& operator=(const EffectGraph&) = delete;

private:
    EffectGraph();
    struct State;
    std::unique_ptr<State> mState;
};
