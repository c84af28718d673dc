#include "framework/LPeriodical.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class Task : public LPeriodical {
public:
    Task(std::string name, std::vector<std::string>& log) : mName(std::move(name)), mLog(log) {}
    void SpendTime(const EventRecord& event) override {
        mLog.push_back(mName);
        mLastWhen = event.when;
        if (mOnSpend) mOnSpend();
    }
    std::function<void()> mOnSpend;
    uint32_t mLastWhen = 0;

private:
    std::string mName;
    std::vector<std::string>& mLog;
};

}  // namespace

TEST(LPeriodical, StartingTwiceQueuesOnce) {
    std::vector<std::string> log;
    Task a("a", log);
    a.StartIdleTask();
    a.StartIdleTask();
    EXPECT_EQ(LPeriodical::CountIdleTasks(), 1);
    EXPECT_TRUE(a.IsIdleTask());
    EXPECT_FALSE(a.IsRepeatTask());
    LPeriodical::RunIdleTasks(EventRecord{});
    EXPECT_EQ(log, (std::vector<std::string>{"a"}));
    a.StopIdleTask();
    EXPECT_EQ(LPeriodical::CountIdleTasks(), 0);
}

TEST(LPeriodical, QueuesAreSeparateAndRunInOrder) {
    std::vector<std::string> log;
    Task a("a", log), b("b", log), c("c", log);
    b.StartRepeatTask();
    a.StartRepeatTask();
    c.StartIdleTask();
    EventRecord event;
    event.when = 1234;
    LPeriodical::RunRepeatTasks(event);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(a.mLastWhen, 1234u);
    log.clear();
    LPeriodical::RunIdleTasks(event);
    EXPECT_EQ(log, (std::vector<std::string>{"c"}));
}

TEST(LPeriodical, DestroyingATaskStopsItInBothQueues) {
    std::vector<std::string> log;
    {
        Task a("a", log);
        a.StartIdleTask();
        a.StartRepeatTask();
    }
    EXPECT_EQ(LPeriodical::CountIdleTasks(), 0);
    EXPECT_EQ(LPeriodical::CountRepeatTasks(), 0);
    LPeriodical::RunIdleTasks(EventRecord{});
    LPeriodical::RunRepeatTasks(EventRecord{});
    EXPECT_TRUE(log.empty());
}

TEST(LPeriodical, TasksStoppingAndDestroyingDuringARun) {
    std::vector<std::string> log;
    Task a("a", log), c("c", log), d("d", log);
    auto b = std::make_unique<Task>("b", log);
    for (LPeriodical* t : {static_cast<LPeriodical*>(&a), static_cast<LPeriodical*>(b.get()),
                           static_cast<LPeriodical*>(&c), static_cast<LPeriodical*>(&d)})
        t->StartRepeatTask();
    a.mOnSpend = [&] { b.reset(); };          // destroys the next task
    c.mOnSpend = [&] { c.StopRepeatTask(); };  // stops itself
    LPeriodical::RunRepeatTasks(EventRecord{});
    EXPECT_EQ(log, (std::vector<std::string>{"a", "c", "d"}));
    log.clear();
    a.mOnSpend = nullptr;
    LPeriodical::RunRepeatTasks(EventRecord{});
    EXPECT_EQ(log, (std::vector<std::string>{"a", "d"}));
    a.StopRepeatTask();
    d.StopRepeatTask();
}

TEST(LPeriodical, TaskStartedDuringARunWaitsItsTurn) {
    std::vector<std::string> log;
    Task a("a", log), b("b", log);
    a.StartIdleTask();
    a.mOnSpend = [&] { b.StartIdleTask(); };
    LPeriodical::RunIdleTasks(EventRecord{});
    // Appended after the current task, so it runs in the same pass.
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
}
