#include "model/CObserver.h"
#include "model/CSubject.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/LException.h"

namespace {

struct Delivery {
    std::string who;
    OSType sender;
    int32_t code;
    void* arg1;
};

class Watcher : public CObserver {
public:
    Watcher(std::string name, std::vector<Delivery>& log) : mName(std::move(name)), mLog(log) {}
    void Update(OSType sender, int32_t code, void* arg1, int32_t, int32_t, int32_t) override {
        mLog.push_back({mName, sender, code, arg1});
        if (mOnUpdate) mOnUpdate(code);
    }
    std::function<void(int32_t)> mOnUpdate;

private:
    std::string mName;
    std::vector<Delivery>& mLog;
};

std::vector<std::string> Who(const std::vector<Delivery>& log) {
    std::vector<std::string> out;
    for (const auto& d : log) out.push_back(d.who);
    return out;
}

}  // namespace

TEST(CSubject, NotifyWithoutObservers) {
    CSubject subject;
    subject.Notify(kSenderDocModel, kChangeRotation);
    EXPECT_EQ(subject.CountObservers(), 0);
}

TEST(CSubject, DeliversInAttachmentOrderWithArgumentsUnchanged) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log), b("b", log);
    b.Observe(&subject);
    a.Observe(&subject);
    int movie = 0;
    subject.Notify(kSenderDocModel, kChangeMovieReplaced, &movie);
    ASSERT_EQ(Who(log), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(log[0].sender, FourCC("tMDL"));
    EXPECT_EQ(log[0].code, 10027);
    EXPECT_EQ(log[1].arg1, &movie);
}

TEST(CSubject, AttachingTwiceLinksOnce) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log);
    a.Observe(&subject);
    a.Observe(&subject);
    subject.Attach(&a);
    EXPECT_EQ(subject.CountObservers(), 1);
    EXPECT_EQ(a.CountSubjects(), 1);
    subject.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_EQ(log.size(), 1u);
}

TEST(CObserver, ObservingNothingThrowsNilPointer) {
    std::vector<Delivery> log;
    Watcher a("a", log);
    try {
        a.Observe(nullptr);
        FAIL() << "no exception";
    } catch (const LException& e) {
        EXPECT_EQ(e.Code(), int32_t(FourCC("nilP")));
    }
    EXPECT_EQ(a.CountSubjects(), 0);
}

TEST(CSubject, IgnoringObserversAreSkipped) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log), b("b", log), c("c", log);
    for (auto* w : {&a, &b, &c}) w->Observe(&subject);
    b.SetIgnoreChanges(1);
    subject.Notify(kSenderDocModel, kChangeFlipVertical);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "c"}));
}

TEST(CSubject, MutedSubjectLosesChanges) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log);
    a.Observe(&subject);
    subject.SetMuted(true);
    subject.Notify(kSenderDocModel, kChangeStop);
    subject.SetMuted(false);
    EXPECT_TRUE(log.empty());
    subject.Notify(kSenderDocModel, kChangePlay);
    EXPECT_EQ(log.size(), 1u);
}

TEST(CSubject, SubjectDestroyedFirst) {
    std::vector<Delivery> log;
    Watcher a("a", log);
    {
        CSubject one, two;
        a.Observe(&one);
        a.Observe(&two);
        EXPECT_EQ(a.CountSubjects(), 2);
    }
    EXPECT_EQ(a.CountSubjects(), 0);
    EXPECT_TRUE(log.empty());
}

TEST(CSubject, ObserverDestroyedFirst) {
    std::vector<Delivery> log;
    CSubject one, two;
    {
        Watcher a("a", log);
        a.Observe(&one);
        a.Observe(&two);
    }
    EXPECT_EQ(one.CountObservers(), 0);
    EXPECT_EQ(two.CountObservers(), 0);
    one.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_TRUE(log.empty());
}

TEST(CSubject, ObserverDetachingItselfDuringDelivery) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log), b("b", log), c("c", log);
    for (auto* w : {&a, &b, &c}) w->Observe(&subject);
    a.mOnUpdate = [&](int32_t) { a.DetachFromAll(); };
    subject.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(subject.HasObserver(&a));
    EXPECT_EQ(a.CountSubjects(), 0);
}

TEST(CSubject, ObserverDestroyedDuringDelivery) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log), c("c", log);
    auto b = std::make_unique<Watcher>("b", log);
    a.Observe(&subject);
    b->Observe(&subject);
    c.Observe(&subject);
    a.mOnUpdate = [&](int32_t) { b.reset(); };
    subject.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "c"}));
}

TEST(CSubject, SubjectDestroyedDuringDelivery) {
    std::vector<Delivery> log;
    auto subject = std::make_unique<CSubject>();
    Watcher a("a", log), b("b", log);
    a.Observe(subject.get());
    b.Observe(subject.get());
    a.mOnUpdate = [&](int32_t) { subject.reset(); };
    subject->Notify(kSenderDocModel, kChangeSourceFile);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a"}));
    EXPECT_EQ(a.CountSubjects(), 0);
    EXPECT_EQ(b.CountSubjects(), 0);
}

TEST(CSubject, ReentrantChangesFromInsideUpdate) {
    // An observer that calls a setter which sends a further change before
    // the first delivery has finished; a late observer attaches meanwhile.
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log), b("b", log), late("late", log);
    a.Observe(&subject);
    b.Observe(&subject);
    a.mOnUpdate = [&](int32_t code) {
        if (code == kChangeOutputWidth) {
            subject.Notify(kSenderDocModel, kChangeOutputHeight);
            late.Observe(&subject);
        }
    };
    subject.Notify(kSenderDocModel, kChangeOutputWidth);
    std::vector<std::string> expected{"a", "a", "b", "b", "late"};
    EXPECT_EQ(Who(log), expected);
    EXPECT_EQ(log[1].code, kChangeOutputHeight);
    EXPECT_EQ(log[2].code, kChangeOutputHeight);
    EXPECT_EQ(log[3].code, kChangeOutputWidth);
}

TEST(CSubject, CopiesStartUnlinked) {
    std::vector<Delivery> log;
    CSubject subject;
    Watcher a("a", log);
    a.Observe(&subject);
    CSubject copy(subject);
    EXPECT_EQ(copy.CountObservers(), 0);
    copy.Notify(kSenderDocModel, kChangeCrop);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(a.CountSubjects(), 1);
}
