#include "framework/LEventLoop.h"

#include <QAbstractEventDispatcher>
#include <QThread>

#include "framework/LPeriodical.h"
#include "framework/Ticks.h"

LEventLoop* LEventLoop::sInstance = nullptr;

namespace {
// Milliseconds for a number of ticks, at least 1.
int TicksToMs(uint32_t ticks) {
    const uint64_t ms = (uint64_t(ticks) * 1000 + kTicksPerSecond - 1) / kTicksPerSecond;
    return int(std::max<uint64_t>(1, std::min<uint64_t>(ms, 1000u * 3600u)));
}
}  // namespace

LEventLoop::LEventLoop(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance() == nullptr)
        throw LException(paramErr, "the event loop needs the application object");
    mRepeatTimer.setInterval(TicksToMs(1));
    mRepeatTimer.setTimerType(Qt::PreciseTimer);
    connect(&mRepeatTimer, &QTimer::timeout, this, &LEventLoop::OnRepeatTimer);

    // The dispatcher of the application's thread: it announces each time
    // it is about to wait for more events, which ends a batch.
    QAbstractEventDispatcher* dispatcher =
        QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (dispatcher != nullptr)
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &LEventLoop::OnAboutToBlock, Qt::DirectConnection);

    sInstance = this;
    LPeriodical::SetTaskStartedHook([this] { UpdateTimer(); });
    UpdateTimer();
}

LEventLoop::~LEventLoop() {
    if (sInstance == this) {
        sInstance = nullptr;
        LPeriodical::SetTaskStartedHook(nullptr);
    }
}

LEventLoop* LEventLoop::Instance() { return sInstance; }

int LEventLoop::Run() { return QCoreApplication::exec(); }

void LEventLoop::Quit(int exitCode) { QCoreApplication::exit(exitCode); }

void LEventLoop::SetRepeatInterval(uint32_t ticks) {
    mRepeatTimer.setInterval(TicksToMs(ticks));
}

EventRecord LEventLoop::CurrentEventRecord() const {
    EventRecord event;
    event.what = nullEvent;
    event.when = TickCount();
    return event;
}

void LEventLoop::RunPass(bool runIdle) {
    if (mInPass) return;
    mInPass = true;
    ++mPassCount;
    const EventRecord event = CurrentEventRecord();
    if (runIdle) UExceptionSwallower::Guard([&] { LPeriodical::RunIdleTasks(event); });
    UExceptionSwallower::Guard([&] { LPeriodical::RunRepeatTasks(event); });
    mInPass = false;
    UpdateTimer();
}

void LEventLoop::RunRepeatTasksNow() {
    EventRecord event;
    if (sInstance != nullptr)
        event = sInstance->CurrentEventRecord();
    else
        event.when = TickCount();
    UExceptionSwallower::Guard([&] { LPeriodical::RunRepeatTasks(event); });
}

void LEventLoop::OnAboutToBlock() {
    // Only for the thread that owns the loop; other threads' dispatchers
    // are not connected, but be sure.
    if (QThread::currentThread() != thread()) return;
    RunPass(true);
}

void LEventLoop::OnRepeatTimer() {
    // The timer event itself ends up in a batch, and the pass runs when the
    // dispatcher is about to wait again; nothing more to do here.
}

void LEventLoop::UpdateTimer() {
    // Keep passes coming while there is periodic work; sleep otherwise.
    const bool wanted = LPeriodical::CountIdleTasks() > 0 || LPeriodical::CountRepeatTasks() > 0;
    if (wanted && !mRepeatTimer.isActive())
        mRepeatTimer.start();
    else if (!wanted && mRepeatTimer.isActive())
        mRepeatTimer.stop();
}
