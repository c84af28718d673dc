// The framework's event loop on Qt's. One pass per processed batch of Qt
// events: idle tasks run when the loop is about to wait for more events,
// repeat tasks on every pass; a repeat timer keeps passes coming while
// tasks are queued and nothing else happens. Exceptions escaping an
// event's handling are swallowed (UExceptionSwallower) by the application
// object's notify(), through TGuardedApplication.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <cstdint>

#include "framework/EventRecord.h"
#include "framework/UExceptionSwallower.h"

// Wraps an application class (QCoreApplication here, QApplication in the
// GUI) so that every event's handling is guarded.
template <class AppBase>
class TGuardedApplication : public AppBase {
public:
    using AppBase::AppBase;

    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        UExceptionSwallower::Guard([&] { handled = AppBase::notify(receiver, event); });
        return handled;
    }
};

using LCoreApplication = TGuardedApplication<QCoreApplication>;

class LEventLoop : public QObject {
    Q_OBJECT

public:
    // Needs the application object; hooks the main thread's dispatcher.
    explicit LEventLoop(QObject* parent = nullptr);
    ~LEventLoop() override;

    // The loop most recently made and still alive, or null.
    static LEventLoop* Instance();

    int Run();  // QCoreApplication::exec()
    static void Quit(int exitCode = 0);

    // One pass: idle tasks (when runIdle), then repeat tasks, each guarded.
    // Passes do not nest: a task that spins a nested loop gets no pass
    // inside its own.
    void RunPass(bool runIdle = true);
    uint64_t PassCount() const { return mPassCount; }

    // Period of the repeat timer in ticks (default 1).
    void SetRepeatInterval(uint32_t ticks);

    // For tracking loops (mouse drags, modal polling, the compression
    // poll): runs the repeat tasks once with a null event, guarded.
    static void RunRepeatTasksNow();

    // The event record handed to tasks; the GUI loop fills in the mouse
    // and modifiers.
    virtual EventRecord CurrentEventRecord() const;

private:
    void OnAboutToBlock();
    void OnRepeatTimer();
    void UpdateTimer();

    QTimer mRepeatTimer;
    uint64_t mPassCount = 0;
    bool mInPass = false;
    static LEventLoop* sInstance;
};
