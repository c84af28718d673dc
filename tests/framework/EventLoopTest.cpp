// Periodic tasks, the event loop that runs them, and the swallowing of
// exceptions that reach the loop.
#include "framework/LEventLoop.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "framework/LPeriodical.h"
#include "framework/Ticks.h"

namespace {

class Task : public LPeriodical {
public:
    explicit Task(std::string name = "", std::string* log = nullptr) : mName(std::move(name)), mLog(log) {}
    void SpendTime(const EventRecord& event) override {
        ++count;
        lastWhen = event.when;
        if (mLog) *mLog += mName;
        if (onSpend) onSpend();
    }
    int count = 0;
    uint32_t lastWhen = 0;
    std::function<void()> onSpend;

private:
    std::string mName;
    std::string* mLog;
};

}  // namespace

TEST(LPeriodical, QueuesAreSeparateOrderedAndQueueOnce) {
    std::string log;
    Task a("a", &log), b("b", &log), c("c", &log);
    b.StartRepeatTask();
    a.StartRepeatTask();
    a.StartRepeatTask();
    c.StartIdleTask();
    EXPECT_EQ(LPeriodical::CountRepeatTasks(), 2);
    EXPECT_FALSE(c.IsRepeatTask());
    EventRecord event;
    event.when = 1234;
    LPeriodical::RunRepeatTasks(event);
    EXPECT_EQ(log, "ba");
    EXPECT_EQ(a.lastWhen, 1234u);
    LPeriodical::RunIdleTasks(event);
    EXPECT_EQ(log, "bac");
    {
        Task gone;
        gone.StartIdleTask();
        gone.StartRepeatTask();
    }  // destroying a task takes it out of both queues
    EXPECT_EQ(LPeriodical::CountIdleTasks(), 1);
    EXPECT_EQ(LPeriodical::CountRepeatTasks(), 2);
}

TEST(LPeriodical, TasksStartingStoppingAndDyingDuringARun) {
    std::string log;
    Task a("a", &log), c("c", &log), d("d", &log), late("l", &log);
    auto b = std::make_unique<Task>("b", &log);
    for (LPeriodical* t : std::initializer_list<LPeriodical*>{&a, b.get(), &c, &d}) t->StartRepeatTask();
    a.onSpend = [&] { b.reset(); };                  // destroys the next task
    c.onSpend = [&] { c.StopRepeatTask(); };         // stops itself
    d.onSpend = [&] { late.StartRepeatTask(); };     // appended: runs in the same pass
    LPeriodical::RunRepeatTasks(EventRecord{});
    EXPECT_EQ(log, "acdl");
    a.onSpend = d.onSpend = nullptr;
    LPeriodical::RunRepeatTasks(EventRecord{});
    EXPECT_EQ(log, "acdladl");
    for (Task* t : {&a, &d, &late}) t->StopRepeatTask();
}

// A fresh application object per test (only one may exist at a time).
class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        UExceptionSwallower::Reset();
        mApp = std::make_unique<LCoreApplication>(mArgc, mArgv);
        mLoop = std::make_unique<LEventLoop>();
        QTimer::singleShot(5000, [] { LEventLoop::Quit(-1); });  // a broken test cannot hang
    }
    void TearDown() override {
        mLoop.reset();
        mApp.reset();
    }
    // Runs the loop with a repeat task that quits after `passes` passes.
    int RunFor(Task& task, int passes) {
        auto inner = task.onSpend;
        task.onSpend = [&task, inner, passes] {
            if (task.count == passes) LEventLoop::Quit(passes);
            if (inner) inner();
        };
        task.StartRepeatTask();
        const int result = mLoop->Run();
        task.StopRepeatTask();
        return result;
    }
    int mArgc = 1;
    char mName[16] = "test_framework";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<LCoreApplication> mApp;
    std::unique_ptr<LEventLoop> mLoop;
};

TEST_F(EventLoopTest, RepeatAndIdleTasksRunWhileNothingElseHappens) {
    Task idle, repeat;
    idle.StartIdleTask();
    const uint32_t before = TickCount();
    EXPECT_EQ(RunFor(repeat, 5), 5);
    EXPECT_GE(idle.count, 4);
    EXPECT_GE(repeat.lastWhen, before);
}

TEST_F(EventLoopTest, TaskStartedFromAnEventWakesTheTimer) {
    Task task;
    QTimer::singleShot(20, [&] { task.StartRepeatTask(); });
    task.onSpend = [&] {
        if (task.count == 5) LEventLoop::Quit(5);
    };
    EXPECT_EQ(mLoop->Run(), 5);
    task.StopRepeatTask();
}

TEST_F(EventLoopTest, ExceptionsFromEventsAndTasksAreSwallowedAndTheLoopGoesOn) {
    struct Thrower : QObject {
        std::function<void()> toThrow;
        bool event(QEvent* e) override {
            if (e->type() != QEvent::User) return QObject::event(e);
            toThrow();
            return true;
        }
    } lexception, bare, nilp, code, memory;
    lexception.toThrow = [] { throw LException(-2093, "media libraries unusable"); };
    bare.toThrow = [] { throw OSErr(-43); };
    nilp.toThrow = [] { ThrowIfNil(static_cast<int*>(nullptr)); };
    code.toThrow = [] { throw uint32_t(FourCC("nilP")); };
    memory.toThrow = [] { throw std::bad_alloc(); };
    std::vector<std::string> texts;
    UExceptionSwallower::SetHook([&](const std::string& t) { texts.push_back(t); });
    for (QObject* o : {&lexception, &bare, &nilp, &code, &memory})
        QCoreApplication::postEvent(o, new QEvent(QEvent::User));
    Task task;
    task.onSpend = [] { throw int32_t(-108); };
    EXPECT_EQ(RunFor(task, 4), 4);
    UExceptionSwallower::SetHook(nullptr);
    const std::string head = "Exception caught in LApplication.\nError Code: ";
    ASSERT_GE(texts.size(), 9u);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), head + "-2093\rmedia libraries unusable"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), head + "-43"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), head + "1852402768\rnil pointer"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), head + "1852402768"), 1);
    EXPECT_GE(std::count(texts.begin(), texts.end(), head + "-108"), 5);  // the task's, and running out of memory
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), texts.size());
}

TEST_F(EventLoopTest, PassesDoNotNestWhenATaskSpinsTheLoop) {
    Task task;
    int depth = 0, deepest = 0;
    task.onSpend = [&] {
        deepest = std::max(deepest, ++depth);
        QEventLoop nested;
        QTimer::singleShot(30, &nested, &QEventLoop::quit);
        nested.exec();
        --depth;
    };
    EXPECT_EQ(RunFor(task, 2), 2);
    EXPECT_EQ(deepest, 1);
}

TEST_F(EventLoopTest, TrackingLoopsRunRepeatTasksDirectly) {
    Task repeat, idle;
    repeat.StartRepeatTask();
    idle.StartIdleTask();
    repeat.onSpend = [] { throw LException(1, "x"); };
    for (int i = 0; i < 3; ++i) LEventLoop::RunRepeatTasksNow();
    EXPECT_EQ(repeat.count, 3);
    EXPECT_EQ(idle.count, 0);
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), 3u);
}
