// The framework's event loop for the windowed program: the event records
// handed to periodic tasks carry the mouse position (global coordinates),
// the button and the modifier keys.
#pragma once

#include "framework/LEventLoop.h"

class LGuiEventLoop : public LEventLoop {
    Q_OBJECT

public:
    using LEventLoop::LEventLoop;

    EventRecord CurrentEventRecord() const override;
    // The same record outside a loop.
    static EventRecord MouseEventRecord();
};
