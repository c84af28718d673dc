// The application object of the framework: the top of every commander
// chain. RunEventLoop marks it running, calls the start-up action once and
// then runs the event loop until it quits.
#pragma once

#include <memory>

#include "framework/gui/LCommander.h"

class LEventLoop;

class LApplication : public LCommander {
public:
    enum class State { Constructed, Running, Quitting };

    LApplication();
    ~LApplication() override;

    State GetState() const { return mState; }
    void RunEventLoop();
    // Ends the event loop after the current pass.
    void DoQuit();

    static LApplication* Instance() { return sInstance; }

protected:
    virtual void RunStartupAction() {}

private:
    State mState = State::Constructed;
    bool mInLoop = false;
    std::unique_ptr<LEventLoop> mLoop;
    static LApplication* sInstance;
};
