// Change notification: delivery order and arguments, and links that stay
// sound when subjects or observers go away, even during a delivery.
#include "model/CObserver.h"
#include "model/CSubject.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/LException.h"

namespace {

class Watcher : public CObserver {
public:
    Watcher(std::string name, std::string& log) : mName(std::move(name)), mLog(log) {}
    void Update(OSType sender, int32_t code, void* arg1, int32_t, int32_t, int32_t) override {
        mLog += mName + std::to_string(code - 10000) + " ";
        lastSender = sender;
        lastArg = arg1;
        if (onUpdate) onUpdate(code);
    }
    std::function<void(int32_t)> onUpdate;
    OSType lastSender = 0;
    void* lastArg = nullptr;

private:
    std::string mName;
    std::string& mLog;
};

class CSubjectTest : public ::testing::Test {
protected:
    std::string log;
    CSubject subject;
    Watcher a{"a", log}, b{"b", log}, c{"c", log};
};

TEST_F(CSubjectTest, DeliversInAttachmentOrderOnceEachWithArgumentsUnchanged) {
    subject.Notify(kSenderDocModel, kChangeRotation);  // nobody listening: nothing
    b.Observe(&subject);
    a.Observe(&subject);
    a.Observe(&subject);
    subject.Attach(&a);
    subject.SetMuted(true);  // a muted subject's changes are lost
    subject.Notify(kSenderDocModel, kChangeStop);
    subject.SetMuted(false);
    EXPECT_EQ(subject.CountObservers(), 2);
    EXPECT_EQ(a.CountSubjects(), 1);
    int movie = 0;
    subject.Notify(kSenderDocModel, kChangeMovieReplaced, &movie);
    EXPECT_EQ(log, "b27 a27 ");
    EXPECT_EQ(a.lastSender, FourCC("tMDL"));
    EXPECT_EQ(a.lastArg, &movie);
    EXPECT_THROW(c.Observe(nullptr), LException);
    EXPECT_EQ(c.CountSubjects(), 0);
}

TEST_F(CSubjectTest, EitherSideDestroyedFirstUnlinksTheOther) {
    {
        CSubject other;
        a.Observe(&subject);
        a.Observe(&other);
        Watcher gone("gone", log);
        gone.Observe(&subject);
        gone.Observe(&other);
        EXPECT_EQ(a.CountSubjects(), 2);
    }
    EXPECT_EQ(a.CountSubjects(), 1);
    EXPECT_EQ(subject.CountObservers(), 1);
    subject.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_EQ(log.find("gone"), std::string::npos);
}

TEST_F(CSubjectTest, ObserversDetachingOrDyingDuringDelivery) {
    auto d = std::make_unique<Watcher>("d", log);
    a.Observe(&subject);
    b.Observe(&subject);
    d->Observe(&subject);
    c.Observe(&subject);
    b.onUpdate = [&](int32_t) {
        b.DetachFromAll();  // its own delivery still counts
        d.reset();          // one not yet reached is skipped
    };
    subject.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_EQ(log, "a6 b6 c6 ");
    EXPECT_FALSE(subject.HasObserver(&b));
    EXPECT_EQ(b.CountSubjects(), 0);
}

TEST(CSubject, DestroyedDuringDelivery) {
    std::string log;
    auto subject = std::make_unique<CSubject>();
    Watcher a("a", log), b("b", log);
    a.Observe(subject.get());
    b.Observe(subject.get());
    a.onUpdate = [&](int32_t) { subject.reset(); };
    subject->Notify(kSenderDocModel, kChangeSourceFile);
    EXPECT_EQ(log, "a4 ");
    EXPECT_EQ(a.CountSubjects() + b.CountSubjects(), 0);
}

TEST_F(CSubjectTest, ReentrantChangesFromInsideUpdate) {
    // An observer's setter sends a further change before the first delivery
    // has finished; a late observer attaches meanwhile.
    a.Observe(&subject);
    b.Observe(&subject);
    a.onUpdate = [&](int32_t code) {
        if (code != kChangeOutputWidth) return;
        subject.Notify(kSenderDocModel, kChangeOutputHeight);
        c.Observe(&subject);
    };
    subject.Notify(kSenderDocModel, kChangeOutputWidth);
    EXPECT_EQ(log, "a9 a10 b10 b9 c9 ");
}

}  // namespace
