// Toolbox event record handed to periodic tasks: what happened, when (in
// ticks), where the mouse was (global coordinates) and the modifier keys.
#pragma once

#include <cstdint>

enum EventKind : uint16_t {
    nullEvent = 0,
    mouseDown = 1,
    mouseUp = 2,
    keyDown = 3,
    keyUp = 4,
    autoKey = 5,
    updateEvt = 6,
    activateEvt = 8,
    osEvt = 15,
};

enum EventModifiers : uint16_t {
    activeFlag = 0x0001,
    btnState = 0x0080,
    cmdKey = 0x0100,
    shiftKey = 0x0200,
    alphaLock = 0x0400,
    optionKey = 0x0800,
    controlKey = 0x1000,
};

struct EventPoint {
    int32_t h = 0;
    int32_t v = 0;
};

struct EventRecord {
    uint16_t what = nullEvent;
    uint32_t message = 0;
    uint32_t when = 0;  // ticks
    EventPoint where;
    uint16_t modifiers = 0;
};
