#include "framework/LPeriodical.h"

namespace {
std::function<void()>& StartedHook() {
    static std::function<void()> hook;
    return hook;
}
}  // namespace

// The queues are made on first use and never destroyed, so tasks that are
// themselves static objects can still stop on their way out.
TArray<LPeriodical*>& LPeriodical::IdleQueue() {
    static auto* queue = new TArray<LPeriodical*>;
    return *queue;
}

TArray<LPeriodical*>& LPeriodical::RepeatQueue() {
    static auto* queue = new TArray<LPeriodical*>;
    return *queue;
}

LPeriodical::~LPeriodical() {
    StopIdleTask();
    StopRepeatTask();
}

void LPeriodical::StartIdleTask() {
    if (IdleQueue().Contains(this)) return;
    IdleQueue().Append(this);
    TaskStarted();
}

void LPeriodical::StopIdleTask() { IdleQueue().Remove(this); }

void LPeriodical::StartRepeatTask() {
    if (RepeatQueue().Contains(this)) return;
    RepeatQueue().Append(this);
    TaskStarted();
}

void LPeriodical::StopRepeatTask() { RepeatQueue().Remove(this); }

bool LPeriodical::IsIdleTask() const {
    return IdleQueue().Contains(const_cast<LPeriodical*>(this));
}

bool LPeriodical::IsRepeatTask() const {
    return RepeatQueue().Contains(const_cast<LPeriodical*>(this));
}

void LPeriodical::RunIdleTasks(const EventRecord& event) { RunQueue(IdleQueue(), event); }

void LPeriodical::RunRepeatTasks(const EventRecord& event) { RunQueue(RepeatQueue(), event); }

int32_t LPeriodical::CountIdleTasks() { return IdleQueue().GetCount(); }

int32_t LPeriodical::CountRepeatTasks() { return RepeatQueue().GetCount(); }

void LPeriodical::RunQueue(TArray<LPeriodical*>& queue, const EventRecord& event) {
    TArrayIterator<LPeriodical*> iterator(queue);
    LPeriodical* task = nullptr;
    while (iterator.Next(task)) task->SpendTime(event);
}

void LPeriodical::SetTaskStartedHook(std::function<void()> hook) { StartedHook() = std::move(hook); }

void LPeriodical::TaskStarted() {
    if (StartedHook()) StartedHook()();
}
