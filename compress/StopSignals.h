// Ctrl-C, kill and a closed terminal (SIGINT, SIGTERM, SIGHUP) during a
// compression or a batch: instead of ending the process on the spot, which
// would leave a half-written file behind, the signal is noted and the job
// cancels at its next frame. When the outermost guard ends, the noted
// signal is delivered again with the effect it had before, so the process
// still ends the way whoever sent it expects (status 128 + the signal). A
// signal that was ignored when the guard began (a background job's Ctrl-C)
// stays ignored.
#pragma once

class StopSignals {
public:
    // Notes the signals while it lives; guards nest.
    class Guard {
    public:
        Guard();
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;
    };

    // The signal that asked to stop, or 0. Cheap: polled once per frame.
    static int Received();
};
