#include "framework/LBroadcaster.h"
#include "framework/LListener.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Received {
    std::string who;
    MessageT message;
    void* parameter;
};

class RecordingListener : public LListener {
public:
    RecordingListener(std::string name, std::vector<Received>& log) : mName(std::move(name)), mLog(log) {}
    void OnMessage(MessageT message, void* parameter) override {
        mLog.push_back({mName, message, parameter});
        if (mOnMessage) mOnMessage(message);
    }
    std::function<void(MessageT)> mOnMessage;

private:
    std::string mName;
    std::vector<Received>& mLog;
};

std::vector<std::string> Who(const std::vector<Received>& log) {
    std::vector<std::string> out;
    for (const auto& r : log) out.push_back(r.who);
    return out;
}

}  // namespace

TEST(LBroadcaster, DeliversInAttachmentOrderToListeningListeners) {
    std::vector<Received> log;
    LBroadcaster broadcaster;
    RecordingListener a("a", log), b("b", log), c("c", log);
    broadcaster.Attach(&b);
    broadcaster.Attach(&a);
    broadcaster.Attach(&c);
    broadcaster.Attach(&b);  // already attached
    EXPECT_EQ(broadcaster.CountListeners(), 3);
    EXPECT_EQ(b.CountBroadcasters(), 1);
    a.StopListening();
    int value = 5;
    broadcaster.Broadcast(FourCC("Chek"), &value);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(log[0].message, MessageT(FourCC("Chek")));
    EXPECT_EQ(log[0].parameter, &value);
    log.clear();
    broadcaster.StopBroadcasting();
    broadcaster.Broadcast(1);
    EXPECT_TRUE(log.empty());
}

TEST(LBroadcaster, ListenerDetachingItselfDoesNotStopTheBroadcast) {
    std::vector<Received> log;
    LBroadcaster broadcaster;
    RecordingListener a("a", log), b("b", log), c("c", log);
    for (auto* l : {&a, &b, &c}) broadcaster.Attach(l);
    b.mOnMessage = [&](MessageT) { broadcaster.Detach(&b); };
    broadcaster.Broadcast(1);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(b.HasBroadcaster(&broadcaster));
    EXPECT_FALSE(broadcaster.HasListener(&b));
}

TEST(LBroadcaster, ListenerDestroyedDuringTheBroadcast) {
    std::vector<Received> log;
    LBroadcaster broadcaster;
    RecordingListener a("a", log);
    auto b = std::make_unique<RecordingListener>("b", log);
    RecordingListener c("c", log);
    broadcaster.Attach(&a);
    broadcaster.Attach(b.get());
    broadcaster.Attach(&c);
    a.mOnMessage = [&](MessageT) { b.reset(); };
    broadcaster.Broadcast(1);
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(broadcaster.CountListeners(), 2);
}

TEST(LBroadcaster, BroadcasterDestroyedByAListener) {
    std::vector<Received> log;
    auto broadcaster = std::make_unique<LBroadcaster>();
    RecordingListener a("a", log), b("b", log);
    broadcaster->Attach(&a);
    broadcaster->Attach(&b);
    a.mOnMessage = [&](MessageT m) {
        if (m == 1) broadcaster.reset();
    };
    broadcaster->Broadcast(1);
    // a got 1, then both got 202 from the dying broadcaster; the first
    // broadcast stopped there.
    EXPECT_EQ(Who(log), (std::vector<std::string>{"a", "a", "b"}));
    EXPECT_EQ(log[1].message, msg_BroadcasterDied);
    EXPECT_EQ(a.CountBroadcasters(), 0);
    EXPECT_EQ(b.CountBroadcasters(), 0);
}

TEST(LBroadcaster, DestructionSends202ThenUnlinks) {
    std::vector<Received> log;
    RecordingListener a("a", log), b("b", log);
    void* address = nullptr;
    {
        LBroadcaster broadcaster;
        address = &broadcaster;
        broadcaster.Attach(&a);
        broadcaster.Attach(&b);
        b.StopListening();
    }
    ASSERT_EQ(Who(log), (std::vector<std::string>{"a"}));
    EXPECT_EQ(log[0].message, 202);
    EXPECT_EQ(log[0].parameter, address);
    EXPECT_EQ(a.CountBroadcasters(), 0);
    EXPECT_EQ(b.CountBroadcasters(), 0);

    log.clear();
    {
        LBroadcaster quiet;
        quiet.Attach(&a);
        quiet.StopBroadcasting();
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(a.CountBroadcasters(), 0);
}

TEST(LBroadcaster, ListenerDestroyedFirstUnlinksFromEveryBroadcaster) {
    std::vector<Received> log;
    LBroadcaster one, two;
    {
        RecordingListener a("a", log);
        one.Attach(&a);
        two.Attach(&a);
        EXPECT_EQ(a.CountBroadcasters(), 2);
    }
    EXPECT_EQ(one.CountListeners(), 0);
    EXPECT_EQ(two.CountListeners(), 0);
    one.Broadcast(1);
    EXPECT_TRUE(log.empty());
}
