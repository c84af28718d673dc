#include "framework/LEventLoop.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <memory>

#include "framework/LPeriodical.h"
#include "framework/Ticks.h"

namespace {

class CountingTask : public LPeriodical {
public:
    void SpendTime(const EventRecord& event) override {
        ++mCount;
        mLastWhen = event.when;
        if (mOnSpend) mOnSpend();
    }
    int mCount = 0;
    uint32_t mLastWhen = 0;
    std::function<void()> mOnSpend;
};

// A fresh application object per test (only one may exist at a time).
class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        UExceptionSwallower::Reset();
        mApp = std::make_unique<LCoreApplication>(mArgc, mArgv);
        mLoop = std::make_unique<LEventLoop>();
    }
    void TearDown() override {
        mLoop.reset();
        mApp.reset();
    }
    // Ends the loop after ms whatever happens, so a broken test cannot hang.
    void QuitAfter(int ms) { QTimer::singleShot(ms, [] { LEventLoop::Quit(7); }); }

    int mArgc = 1;
    char mName[16] = "test_framework";
    char* mArgv[2] = {mName, nullptr};
    std::unique_ptr<LCoreApplication> mApp;
    std::unique_ptr<LEventLoop> mLoop;
};

class Thrower : public QObject {
public:
    explicit Thrower(std::function<void()> f) : mThrow(std::move(f)) {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            mThrow();
            return true;
        }
        return QObject::event(e);
    }
    std::function<void()> mThrow;
};

}  // namespace

TEST_F(EventLoopTest, RepeatAndIdleTasksRunWhileNothingElseHappens) {
    CountingTask idle, repeat;
    idle.StartIdleTask();
    repeat.StartRepeatTask();
    QuitAfter(300);
    const uint32_t before = TickCount();
    EXPECT_EQ(mLoop->Run(), 7);
    // About 18 ticks passed; the repeat timer fires every tick.
    EXPECT_GE(repeat.mCount, 5);
    EXPECT_GE(idle.mCount, 5);
    EXPECT_GE(repeat.mLastWhen, before);
    EXPECT_GE(mLoop->PassCount(), uint64_t(repeat.mCount));
}

TEST_F(EventLoopTest, TaskCanQuitTheLoopAndStopItself) {
    CountingTask task;
    task.StartRepeatTask();
    task.mOnSpend = [&] {
        if (task.mCount == 3) {
            task.StopRepeatTask();
            LEventLoop::Quit(3);
        }
    };
    QuitAfter(5000);
    EXPECT_EQ(mLoop->Run(), 3);
    EXPECT_EQ(task.mCount, 3);
}

TEST_F(EventLoopTest, TaskStartedFromAnEventWakesTheTimer) {
    CountingTask task;
    QTimer::singleShot(20, [&] { task.StartRepeatTask(); });
    task.mOnSpend = [&] {
        if (task.mCount == 5) LEventLoop::Quit(5);
    };
    QuitAfter(5000);
    EXPECT_EQ(mLoop->Run(), 5);
    task.StopRepeatTask();
}

TEST_F(EventLoopTest, ExceptionsFromEventsAreSwallowedAndTheLoopGoesOn) {
    Thrower lexception([] { throw LException(-2093, "media libraries unusable"); });
    Thrower bare([] { throw OSErr(-43); });
    Thrower nilp([] { ThrowIfNil(static_cast<int*>(nullptr)); });
    std::vector<std::string> texts;
    UExceptionSwallower::SetHook([&](const std::string& t) { texts.push_back(t); });
    QCoreApplication::postEvent(&lexception, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&bare, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&nilp, new QEvent(QEvent::User));
    QTimer::singleShot(50, [] { LEventLoop::Quit(1); });
    EXPECT_EQ(mLoop->Run(), 1);
    UExceptionSwallower::SetHook(nullptr);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0],
              "Exception caught in LApplication.\nError Code: -2093\rmedia libraries unusable");
    EXPECT_EQ(texts[1], "Exception caught in LApplication.\nError Code: -43");
    EXPECT_EQ(texts[2], "Exception caught in LApplication.\nError Code: 1852402768\rnil pointer");
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), 3u);
    EXPECT_EQ(UExceptionSwallower::LastText(), texts[2]);
}

TEST_F(EventLoopTest, ExceptionFromATaskIsSwallowedEachPass) {
    CountingTask task;
    task.StartRepeatTask();
    task.mOnSpend = [&] {
        if (task.mCount == 4) LEventLoop::Quit(4);
        throw int32_t(-108);
    };
    QuitAfter(5000);
    EXPECT_EQ(mLoop->Run(), 4);
    EXPECT_GE(UExceptionSwallower::SwallowedCount(), 4u);
    EXPECT_EQ(UExceptionSwallower::LastText(), "Exception caught in LApplication.\nError Code: -108");
}

TEST_F(EventLoopTest, PassesDoNotNestWhenATaskSpinsTheLoop) {
    CountingTask task;
    int depth = 0, deepest = 0;
    task.mOnSpend = [&] {
        ++depth;
        deepest = std::max(deepest, depth);
        QEventLoop nested;
        QTimer::singleShot(30, &nested, &QEventLoop::quit);
        nested.exec();
        --depth;
        if (task.mCount >= 2) LEventLoop::Quit(2);
    };
    task.StartRepeatTask();
    QuitAfter(5000);
    EXPECT_EQ(mLoop->Run(), 2);
    EXPECT_EQ(deepest, 1);
    task.StopRepeatTask();
}

TEST_F(EventLoopTest, TrackingLoopsRunRepeatTasksDirectly) {
    CountingTask repeat, idle;
    repeat.StartRepeatTask();
    idle.StartIdleTask();
    repeat.mOnSpend = [] { throw LException(1, "x"); };
    for (int i = 0; i < 3; ++i) LEventLoop::RunRepeatTasksNow();
    EXPECT_EQ(repeat.mCount, 3);
    EXPECT_EQ(idle.mCount, 0);
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), 3u);
}

TEST(UExceptionSwallower, TextsForEveryKindOfThrow) {
    UExceptionSwallower::Reset();
    EXPECT_TRUE(UExceptionSwallower::Guard([] {}));
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), 0u);
    EXPECT_FALSE(UExceptionSwallower::Guard([] { throw uint32_t(FourCC("nilP")); }));
    EXPECT_EQ(UExceptionSwallower::LastText(),
              "Exception caught in LApplication.\nError Code: 1852402768");
    EXPECT_FALSE(UExceptionSwallower::Guard([] { throw std::bad_alloc(); }));
    EXPECT_EQ(UExceptionSwallower::LastText(), "Exception caught in LApplication.\nError Code: -108");
    EXPECT_FALSE(UExceptionSwallower::Guard([] { throw LException(0); }));
    EXPECT_EQ(UExceptionSwallower::LastText(), "Exception caught in LApplication.\nError Code: 0\r");
    EXPECT_EQ(UExceptionSwallower::SwallowedCount(), 3u);
}
