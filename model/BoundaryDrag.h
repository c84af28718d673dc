// A boundary being dragged on the timeline: what moves with it and the
// room it has. The model fills one when the drag starts and moves
// everything named in it together (CTambleDocModel::MoveBoundary).
#pragma once

#include <cstdint>

#include "model/TimeValue.h"

struct SBoundaryDrag {
    int32_t range = 0;           // the excluded range whose edge moves; 0 between two segments
    int32_t segment = 0;         // the video segment whose edge moves (the one clicked, or the range's neighbour)
    int32_t otherSegment = 0;    // the video segment on the other side of a boundary between segments
    int32_t audioSegment = 0;    // the audio segment touching a range's edge
    bool end = false;            // the clicked segment's (or range's) end moves, else its start
    STimeValue at{0, 600};       // where the boundary is
    STimeValue low{0, 600};      // how far it may go: the far edges of the two sides
    STimeValue high{0, 600};
};
