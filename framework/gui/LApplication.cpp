#include "framework/gui/LApplication.h"

#include <QTimer>

#include "framework/gui/LGuiEventLoop.h"

LApplication* LApplication::sInstance = nullptr;

LApplication::LApplication() {
    sInstance = this;
    SetTopCommander(this);
}

LApplication::~LApplication() {
    if (sInstance == this) sInstance = nullptr;
}

void LApplication::RunEventLoop() {
    if (!mLoop) mLoop = std::make_unique<LGuiEventLoop>();
    mState = State::Running;
    RunStartupAction();
    if (mState == State::Running) {
        mInLoop = true;
        mLoop->Run();
        mInLoop = false;
    }
    mState = State::Quitting;
}

void LApplication::DoQuit() {
    if (mState == State::Quitting) return;
    mState = State::Quitting;
    // The loop ends after the pass in which this happens. Before it runs
    // there is nothing to end, and a quit posted then would end whatever
    // loop (a dialog's) happened to run next.
    if (mInLoop) QTimer::singleShot(0, mLoop.get(), [] { LEventLoop::Quit(0); });
}
