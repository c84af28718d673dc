// Periodic tasks. Two program-wide queues: idle tasks run when the event
// loop has nothing else to do, repeat tasks on every pass of the loop (and
// on every pass of a tracking loop that calls RunRepeatTasks). A task may
// stop itself, stop others or be destroyed while a queue is being run.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/EventRecord.h"
#include "framework/LArray.h"

class LPeriodical {
public:
    LPeriodical() = default;
    virtual ~LPeriodical();  // stops the task in both queues
    // A copy is not queued.
    LPeriodical(const LPeriodical&) {}
    LPeriodical& operator=(const LPeriodical&) { return *this; }

    virtual void SpendTime(const EventRecord& event) = 0;

    void StartIdleTask();  // only once in the queue however often called
    void StopIdleTask();
    void StartRepeatTask();
    void StopRepeatTask();
    bool IsIdleTask() const;
    bool IsRepeatTask() const;

    static void RunIdleTasks(const EventRecord& event);
    static void RunRepeatTasks(const EventRecord& event);
    static int32_t CountIdleTasks();
    static int32_t CountRepeatTasks();

    // Called whenever a task joins a queue, so that the event loop can wake
    // its timer; null to clear.
    static void SetTaskStartedHook(std::function<void()> hook);

private:
    static TArray<LPeriodical*>& IdleQueue();
    static TArray<LPeriodical*>& RepeatQueue();
    static void RunQueue(TArray<LPeriodical*>& queue, const EventRecord& event);
    static void TaskStarted();
};
